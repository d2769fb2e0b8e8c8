// The Windows resource script of the program's dialogs and texts, written
// from the templates of res, so that the Windows front-end draws on the
// same templates, ids and texts as every other.
#pragma once

#include <ostream>
#include <string>

namespace rcgen {

// Writes the four dialogs, the string table and the icon (`iconFile`, as
// the script should name it) in UTF-8. False, with the reason in `why`, when
// a template cannot be written as a resource: its tab order must follow its
// creation order, since a dialog tabs through its controls in that order.
bool writeResourceScript(std::ostream& out, const std::string& iconFile, std::string& why);

}  // namespace rcgen
