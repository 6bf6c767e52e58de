#pragma once

#include "text_buffer.h"

namespace sorvane::core {

/// The text of records that comma-separated values (RFC 4180) hold, for the record reader: each
/// field a cell, TAB between cells, CR after each row. Rows end with CR LF, LF or CR; a field
/// that starts with a double quote runs to the next lone double quote, two double quotes in it
/// standing for one, and may hold the separator and line breaks. A cell cannot hold a TAB or a
/// line break, so a TAB inside a field becomes a space and its line breaks are dropped, as a
/// paste joins the lines of a quoted cell. Written over the text itself, which never grows: a
/// text that others read too is copied first.
TextBuffer recordsTextOfCsv(TextBuffer text, char separator);

}  // namespace sorvane::core
