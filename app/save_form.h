// What a name chosen in the Save dialog asks for: the form follows the
// chosen file type, unless the name was typed with an extension of one of
// the other forms, which the user then meant. Portable, so that every case
// is unit-tested.
#pragma once

#include <cstddef>

#include "app/viewer_report.h"

// The dialog's file types in its order (the filter index counts from 1).
constexpr int kSaveTypeCount = 4;
// The type's form and the extension its names get (".html", ".txt", ".csv",
// ".jsonl"); an index out of range counts as the first.
SaveForm save_type_form(int type_index);
const char* save_type_extension(int type_index);

// The form for path, chosen with the file type type_index, where the dialog
// proposed the name proposed (without folder): a name left as proposed
// takes the type's form and extension (the type was changed after the name
// was proposed); a name with an extension of ours (".html", ".htm", ".txt",
// ".csv", ".jsonl", any case) takes that extension's form; any other name
// the type's form, and the type's extension when it has none. The name is
// changed in place where it gains or changes its extension, within size
// bytes (unchanged when there is no room).
SaveForm save_form_for(char* path, size_t size, int type_index, const char* proposed);
