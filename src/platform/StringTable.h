#pragma once
// The main string table: visible texts looked up with the English text as key.
// A key the table does not hold (or an empty translation) answers the key
// itself. The table is the resource "Localizable.strings", lines of the form
//   "English text" = "Translated text";
// read once on first use; reload() reads it again (tests swap tables).
// Another language's texts come first: "gramolux_<language>.qm", built from
// src/resources/translations/gramolux_<language>.ts (Qt Linguist), whose
// sources are the English keys; a text it lacks shows in English.
#include <QString>

namespace gx {

QString localizedString(const QString& key);

class StringTable {
public:
    // In the user's language (gx::userLanguage()), as on first use.
    static void reload();
    // In this language ("de"; empty for English).
    static void load(const QString& language);
    // The language loaded: empty when English.
    static QString language();
};

} // namespace gx
