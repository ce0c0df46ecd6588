// Help contents files (.cnt): checked against the topic sources of the help
// files they name, and written with CR LF line ends.
//
//   :Base Quorvik.hlp
//   :Title Quorvik Help
//   1 A heading
//   2 A topic=context_id
//   2 A topic in another file=context_id@Other.hlp
#pragma once

#include <map>
#include <set>
#include <string>

namespace winhelp {

// Context ids of each help file, keyed by the help file's name in lower
// case; the ids are in lower case too, as the viewer matches them so.
using HelpFileIds = std::map<std::string, std::set<std::string>>;

std::string ToLower(std::string text);

// Returns the contents file; throws FormatError ("name:line: what") for a
// line it cannot take, a jump to an id that the named file lacks, or a
// level that skips a step.
std::string BuildContents(const std::string& source, const std::string& name,
                          const HelpFileIds& helpFiles);

}  // namespace winhelp
