// The Windows resource script of the program's dialogs and texts, written
// from the templates of res, so that the Windows front-end draws on the
// same templates, ids and texts as every other.
#pragma once

#include <ostream>
#include <string>

namespace rcgen {

// What Windows shows in the program file's properties.
struct ProductVersion {
  std::string version;    // up to four numbers of at most 65535, dotted: "1.0"
  std::string copyright;  // the LegalCopyright line
};

// Writes the four dialogs, the string table, the icon (`iconFile`, as the
// script should name it) and the version resource in UTF-8. False, with the
// reason in `why`, when a template cannot be written as a resource (its tab
// order must follow its creation order, since a dialog tabs through its
// controls in that order) or the version is not one Windows can hold.
bool writeResourceScript(std::ostream& out, const std::string& iconFile, const ProductVersion& product,
                         std::string& why);

}  // namespace rcgen
