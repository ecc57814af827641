#pragma once
// Types of the string grid's data operations: export states, find
// parameters, filter items and the events of filtering and calculating.
#include "platform/core/Collections.h"

#include <QString>

#include <cstdint>
#include <functional>

class TObject;
class TStrings;

// States given to the grid's export notification.
enum TExportState { esExportStart, esExportNextRow, esExportDone, esExportFail, esExportCancel, esExportNewRow };

// Find parameters: bit n for the n-th value.
enum TFindParameters {
    fnMatchCase, fnMatchFull, fnMatchRegular, fnDirectionLeftRight, fnMatchStart, fnFindInCurrentRow,
    fnFindInCurrentCol, fnIncludeFixed, fnAutoGoto, fnIgnoreHTMLTags, fnBackward, fnIncludeHiddenColumns,
    fnFindInPresetCol, fnFindInPresetRow, fnSelectedCells, fnIncludeHiddenRows
};
using TFindParams = uint16_t;
constexpr TFindParams FindBit(TFindParameters p) { return TFindParams(1u << unsigned(p)); }
template <class... P>
constexpr TFindParams FindParams(P... p)
{
    return TFindParams((0u | ... | (1u << unsigned(p))));
}
inline bool HasFindParam(TFindParams s, TFindParameters p) { return (s & FindBit(p)) != 0; }

// Filter items.
enum TFilterCells { fcVirtual, fcNormal, fcStripHTML, fcCalculated, fcRow };
enum TFilterOperation { foSHORT, foNONE, foAND, foXOR, foOR };
enum TFilterMethod { fmExpression, fmLiteral };

class TFilterData : public TCollectionItem {
    KAL_CLASS(TFilterData, TCollectionItem)
public:
    explicit TFilterData(TCollection* collection) : TCollectionItem(collection) {}
    int Column = 0;
    QString Condition;
    bool CaseSensitive = true;
    TFilterCells Data = fcVirtual;
    QString Prefix;
    QString Suffix;
    TFilterOperation Operation = foSHORT;
    TFilterMethod Method = fmExpression;
    // Every field but Method.
    void Assign(const TPersistent* Source) override;
};

using TCustomFilterEvent = std::function<void(TObject* Sender, int ARow, bool& AcceptRow)>;
using TFilterProgressEvent = std::function<void(TObject* Sender, int16_t Progress)>;
using TFilterSelectEvent = std::function<void(TObject* Sender, int Column, int ItemIndex,
                                              const QString& FriendlyName, QString& FilterCondition)>;
using TFilterCheckEvent = std::function<void(TObject* Sender, int Column, int ItemIndex,
                                             const QString& FriendlyName, QString& FilterCondition,
                                             TStrings* CheckList)>;
using TColumnCalcEvent = std::function<void(TObject* Sender, int ACol, int FromRow, int ToRow, double& Res)>;
using TSearchEditChangeEvent = std::function<void(TObject* Sender, const QString& Value, bool& DefaultSearch)>;

// Markup tags of the data operations: "hi" for highlighted text, "e" for
// text marked as an error. Each wraps every occurrence of Text in S, or
// removes every tag of its kind.
QString HilightText(bool DoCase, const QString& S, const QString& Text);
QString UnHilightText(const QString& S);
QString MarkText(bool DoCase, const QString& S, const QString& Text);
QString UnMarkText(const QString& S);
