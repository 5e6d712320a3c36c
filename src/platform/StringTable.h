#pragma once
// The main string table: visible texts looked up with the English text as key.
// A key the table does not hold (or an empty translation) answers the key
// itself. The table is the resource "Localizable.strings", lines of the form
//   "English text" = "Translated text";
// read once on first use; reload() reads it again (tests swap tables).
#include <QString>

namespace gx {

QString localizedString(const QString& key);

class StringTable {
public:
    static void reload();
};

} // namespace gx
