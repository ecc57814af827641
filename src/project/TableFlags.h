#pragma once
// How a check-box column of a table file is read.
//
// The editors write a ticked cell as "Y" and a clear one as "N"; older files
// and hand edits bring lower-case letters and blanks. Each flag column states
// once, next to its table's other columns (project/ProjectFiles.h), which of
// these rules it follows and what a row without the attribute means. The
// row reader (project/TableFile.h) is the only code that applies them.
#include <QString>

enum class TFlagRule {
    Upper,      // upper-cased ("a".."z" only), equal to "Y": "y" counts, " Y" does not
    Trim_Upper, // blanks and control characters cut at both ends first: " y " counts;
                // a no-break or ideographic space is no blank, so "\u00a0Y" does not
    Exact,      // the single character "Y" as written: "y" does not count
};

enum class TFlagMissing {
    Error, // the editors always write it: a row without it is refused
    Clear, // a row without it has the flag clear
    Set,   // a row without it has the flag set (an Enable column: the row is used)
};

struct TFlagColumn {
    QString Name;
    TFlagRule Rule;
    TFlagMissing Missing;
};

// The rule applied to a present attribute's text.
bool Flag_Text_Is_Set(const QString& text, TFlagRule rule);
