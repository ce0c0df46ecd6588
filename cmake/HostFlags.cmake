# The host build: tools and native unit tests, under AddressSanitizer and
# UndefinedBehaviorSanitizer.  clang is used so that the libFuzzer target
# builds in the same tree.
add_compile_options(-Wall -Wextra -Werror -g -O1
                    -fsanitize=address,undefined -fno-sanitize-recover=all
                    -fno-omit-frame-pointer)
add_link_options(-fsanitize=address,undefined)
