// The plain-text topic source of a help file.
//
//   # a comment line
//   .title Quorvik Help            the help file's title (required)
//   .copyright Copyright ...        shown in the viewer's About box
//   .contents context_id            topic shown first (default: the first)
//   .topic context_id Topic title   starts a topic
//   .heading Some words             a bold sub-heading inside a topic
//   Text lines; lines that follow each other form one paragraph, a blank
//   line ends it.  {shown text|context_id} is a jump to another topic.
#pragma once

#include <string>

#include "tools/winhelp/hlpwriter.h"

namespace winhelp {

// Throws FormatError with "name:line: what" for a source it cannot take.
HelpDocument ParseTopicSource(const std::string& text, const std::string& name);

}  // namespace winhelp
