// The header stream: the header with all of its columns, written as version
// 6 (a -1 marker, the version, the column block, the header's values) and
// read in every older layout, including streams without a marker. Lengths
// and counts read are checked against the bytes left before anything is
// allocated, and a position array must be a permutation of the columns.
#include "treeview/LazyTrees.h"

#include "platform/core/Exceptions.h"
#include "platform/core/Streams.h"

#include <QtEndian>

#include <vector>

namespace {
constexpr int kHeaderStreamVersion = 6;

void WriteInt(TStream* S, int32_t V) {
    const int32_t le = qToLittleEndian(V);
    S->WriteBuffer(&le, 4);
}
void WriteUInt(TStream* S, uint32_t V) {
    const uint32_t le = qToLittleEndian(V);
    S->WriteBuffer(&le, 4);
}
int32_t ReadInt(TStream* S) {
    int32_t v = 0;
    S->ReadBuffer(&v, 4);
    return qFromLittleEndian(v);
}
uint32_t ReadUInt(TStream* S) { return uint32_t(ReadInt(S)); }
// Enumerations are taken from the low byte.
uint8_t ReadOrdinal(TStream* S) { return uint8_t(ReadUInt(S) & 0xFF); }

[[noreturn]] void ReadFailure() { throw EReadError(QStringLiteral("Stream read error")); }

int64_t BytesLeft(TStream* S) { return S->Size() - S->Position(); }

void WriteText(TStream* S, const QString& T) {
    WriteInt(S, int32_t(T.size()));
    std::vector<char16_t> units(static_cast<size_t>(T.size()));
    for (int i = 0; i < T.size(); ++i) units[size_t(i)] = qToLittleEndian(char16_t(T[i].unicode()));
    if (!units.empty()) S->WriteBuffer(units.data(), int64_t(units.size()) * 2);
}

// A length larger than the bytes left fails before the text is allocated.
QString ReadText(TStream* S) {
    const int32_t length = ReadInt(S);
    if (length <= 0) return QString();
    if (int64_t(length) * 2 > BytesLeft(S)) ReadFailure();
    std::vector<char16_t> units(static_cast<size_t>(length));
    S->ReadBuffer(units.data(), int64_t(length) * 2);
    QString out(length, Qt::Uninitialized);
    for (int i = 0; i < length; ++i) out[i] = QChar(qFromLittleEndian(units[size_t(i)]));
    return out;
}

// Column options of older streams: version 2 knew bits 0..7; versions 0 and
// 1 knew seven options, the last three of which moved up by one.
TLTColumnOptions ConvertColumnOptions(uint32_t Stored, int Version) {
    uint32_t bits = Stored & 0xFFFF;
    if (Version == 2) bits &= 0xFF;
    else if (Version < 2) bits = (Stored & 0x0F) | ((Stored & 0x70) << 1);
    return TLTColumnOptions::FromBits(uint16_t(bits));
}
}  // namespace

// ---------------------------------------------------------------------------
// Column record
// ---------------------------------------------------------------------------

void TLazyTreeColumn::SaveToStream(TStream* Stream) {
    WriteText(Stream, FText);
    WriteText(Stream, Hint);
    WriteInt(Stream, FWidth);
    WriteInt(Stream, FMinWidth);
    WriteInt(Stream, FMaxWidth);
    WriteUInt(Stream, uint32_t(FStyle));
    WriteInt(Stream, FImageIndex);
    WriteUInt(Stream, uint32_t(FLayout));
    WriteInt(Stream, FMargin);
    WriteInt(Stream, FSpacing);
    WriteUInt(Stream, uint32_t(FBiDiMode));
    WriteUInt(Stream, uint32_t(FOptions.Bits()));
    WriteInt(Stream, int32_t(Tag));
    WriteUInt(Stream, uint32_t(FAlignment));
    WriteInt(Stream, int32_t(FColor));
    if (FOptions.Contains(coUseCaptionAlignment)) WriteUInt(Stream, uint32_t(FCaptionAlignment));
}

void TLazyTreeColumn::LoadFromStream(TStream* Stream, int Version) {
    SetText(ReadText(Stream));
    Hint = ReadText(Stream);
    SetWidth(ReadInt(Stream));
    SetMinWidth(ReadInt(Stream));
    SetMaxWidth(ReadInt(Stream));
    SetStyle(TLazyTreeColumnStyle(ReadOrdinal(Stream) & 1));
    SetImageIndex(ReadInt(Stream));
    SetLayout(TLTHeaderColumnLayout(ReadOrdinal(Stream) & 3));
    SetMargin(ReadInt(Stream));
    SetSpacing(ReadInt(Stream));
    SetBiDiMode(TBiDiMode(ReadOrdinal(Stream) & 3));
    SetOptions(ConvertColumnOptions(ReadUInt(Stream), Version));
    if (Version >= 1) {
        Tag = ReadInt(Stream);
        SetAlignment(TAlignment(std::min<uint8_t>(ReadOrdinal(Stream), 2)));
    }
    if (Version >= 2) SetColor(TColor(ReadInt(Stream)));
    if (Version >= 6 && FOptions.Contains(coUseCaptionAlignment))
        SetCaptionAlignment(TAlignment(std::min<uint8_t>(ReadOrdinal(Stream), 2)));
}

// ---------------------------------------------------------------------------
// Column block
// ---------------------------------------------------------------------------

void TLazyTreeColumns::SaveToStream(TStream* Stream) {
    const int count = Count();
    WriteInt(Stream, count);
    if (count > 0) {
        for (int i = 0; i < count; ++i) Items(i)->SaveToStream(Stream);
        for (int p = 0; p < count; ++p)
            WriteInt(Stream, p < FPositionToIndex.size() ? FPositionToIndex[p] : p);
    }
    WriteInt(Stream, DefaultWidth);
}

void TLazyTreeColumns::LoadFromStream(TStream* Stream, int Version) {
    ClearColumns();
    const int32_t count = ReadInt(Stream);
    if (count > 0) {
        // Every column takes far more than a byte: a count beyond the bytes
        // left cannot be true.
        if (int64_t(count) > BytesLeft(Stream)) ReadFailure();
        BeginUpdate();
        try {
            for (int i = 0; i < count; ++i) Add()->LoadFromStream(Stream, Version);
            TIndexArray positions(count);
            for (int p = 0; p < count; ++p) positions[p] = ReadInt(Stream);
            // Each column must be shown exactly once.
            std::vector<bool> seen(size_t(count), false);
            for (int p = 0; p < count; ++p) {
                const TColumnIndex index = positions[p];
                if (index < 0 || index >= count || seen[size_t(index)]) {
                    ResetPositions(false);
                    throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
                }
                seen[size_t(index)] = true;
            }
            FPositionToIndex = positions;
            RecalcColumnLefts(true);
        } catch (...) {
            EndUpdate();
            throw;
        }
        EndUpdate();
    }
    if (Version >= 5) DefaultWidth = ReadInt(Stream);
}

// ---------------------------------------------------------------------------
// Header
// ---------------------------------------------------------------------------

void TLTHeader::SaveToStream(TStream* Stream) {
    WriteInt(Stream, -1);
    WriteInt(Stream, kHeaderStreamVersion);
    FColumns->SaveToStream(Stream);
    WriteInt(Stream, FAutoSizeIndex);
    WriteInt(Stream, int32_t(FBackgroundColor));
    WriteInt(Stream, FHeight);
    WriteUInt(Stream, FOptions.Bits() & 0x3FFFF);
    WriteUInt(Stream, uint32_t(FStyle));
    WriteInt(Stream, int32_t(FFont.Color()));
    WriteInt(Stream, FFont.Height());
    const QByteArray name = FFont.Name().toUtf8();
    WriteInt(Stream, int32_t(name.size()));
    if (!name.isEmpty()) Stream->WriteBuffer(name);
    WriteUInt(Stream, uint32_t(FFont.Pitch()));
    WriteUInt(Stream, uint32_t(FFont.Style()) & 0x0F);
    WriteInt(Stream, FMainColumn);
    WriteInt(Stream, FSortColumn);
    WriteUInt(Stream, uint32_t(FSortDirection));
    WriteInt(Stream, FParentFont ? 1 : 0);
    WriteInt(Stream, FMaxHeight);
    WriteInt(Stream, FMinHeight);
    WriteInt(Stream, FDefaultHeight);
    TLTFixedAreaConstraints* f = FFixedAreaConstraints.get();
    WriteInt(Stream, f->MaxHeightPercent());
    WriteInt(Stream, f->MaxWidthPercent());
    WriteInt(Stream, f->MinHeightPercent());
    WriteInt(Stream, f->MinWidthPercent());
}

void TLTHeader::LoadFromStream(TStream* Stream) {
    FStates.Include(hsLoading);
    const TLTHeaderOptions before = FOptions;
    // The writers below run without header options.
    FOptions = TLTHeaderOptions();
    auto finish = [this] {
        FStates.Exclude(hsLoading);
        if (FOwner) FOwner->FireColumnResize(NoColumn);
    };
    try {
        int version = -1;
        const int32_t first = ReadInt(Stream);
        if (first <= -1) version = ReadInt(Stream);
        else Stream->Seek(-4, soCurrent);  // no marker: the value is the column count
        FColumns->LoadFromStream(Stream, version);
        SetAutoSizeIndex(ReadInt(Stream));
        SetBackground(TColor(ReadInt(Stream)));
        SetHeight(ReadInt(Stream));
        const uint32_t options = ReadUInt(Stream);
        FOptions = before;
        SetOptions(TLTHeaderOptions::FromBits(options & 0x3FFFF));
        SetStyle(TLTHeaderStyle(std::min<uint8_t>(ReadOrdinal(Stream), 2)));
        TFont font;
        font.Assign(FFont);
        font.SetColor(TColor(ReadInt(Stream)));
        font.SetHeight(ReadInt(Stream));
        const int32_t nameLength = ReadInt(Stream);
        if (nameLength > 0) {
            if (int64_t(nameLength) > BytesLeft(Stream)) ReadFailure();
            QByteArray name(nameLength, '\0');
            Stream->ReadBuffer(name.data(), nameLength);
            font.SetName(QString::fromUtf8(name));
        } else {
            font.SetName(QString());
        }
        font.SetPitch(TFontPitch(std::min<uint8_t>(ReadOrdinal(Stream), 2)));
        font.SetStyle(TFontStyles(ReadUInt(Stream) & 0x0F));
        SetFont(font);
        if (version >= 1) {
            SetMainColumn(ReadInt(Stream));
            SetSortColumn(ReadInt(Stream));
            SetSortDirection(TSortDirection(ReadOrdinal(Stream) & 1));
        }
        if (version >= 5) {
            SetParentFont(ReadInt(Stream) != 0);
            FMaxHeight = ReadInt(Stream);
            FMinHeight = ReadInt(Stream);
            FDefaultHeight = ReadInt(Stream);
            TLTFixedAreaConstraints* f = FFixedAreaConstraints.get();
            f->FMaxHeightPercent = uint8_t(ReadInt(Stream));
            f->FMaxWidthPercent = uint8_t(ReadInt(Stream));
            f->FMinHeightPercent = uint8_t(ReadInt(Stream));
            f->FMinWidthPercent = uint8_t(ReadInt(Stream));
        }
    } catch (...) {
        finish();
        throw;
    }
    finish();
}

// ---------------------------------------------------------------------------
// Form properties
// ---------------------------------------------------------------------------

TLTPropertyList TLazyTreeColumn::DefinedProperties() const {
    TLTPropertyList out;
    if (!FText.isEmpty()) out.append({QStringLiteral("WideText"), QVariant(FText)});
    if (!Hint.isEmpty()) out.append({QStringLiteral("WideHint"), QVariant(Hint)});
    return out;
}

bool TLazyTreeColumn::ReadDefinedProperty(const QString& Name, const QVariant& Value) {
    // Any of the filer's string kinds is read as text.
    const QString text =
        Value.metaType().id() == QMetaType::QByteArray ? QString::fromUtf8(Value.toByteArray()) : Value.toString();
    if (Name == QStringLiteral("WideText")) {
        SetText(text);
        return true;
    }
    if (Name == QStringLiteral("WideHint")) {
        Hint = text;
        return true;
    }
    return false;
}

TLTPropertyList TLazyTreeColumn::StoredProperties() const {
    const TLazyTreeColumn defaults(nullptr);
    TLTPropertyList out;
    auto add = [&](const char* name, auto value, auto initial) {
        if (value != initial) out.append({QString::fromLatin1(name), QVariant::fromValue(value)});
    };
    add("Alignment", int(FAlignment), int(defaults.FAlignment));
    add("BiDiMode", int(FBiDiMode), int(defaults.FBiDiMode));
    add("CaptionAlignment", int(FCaptionAlignment), int(defaults.FCaptionAlignment));
    add("CheckBox", FCheckBox, defaults.FCheckBox);
    add("CheckState", int(FCheckState), int(defaults.FCheckState));
    add("CheckType", int(FCheckType), int(defaults.FCheckType));
    add("Color", int(FColor), int(defaults.FColor));
    add("DefaultSortDirection", int(DefaultSortDirection), int(defaults.DefaultSortDirection));
    add("ImageIndex", FImageIndex, defaults.FImageIndex);
    add("Layout", int(FLayout), int(defaults.FLayout));
    add("Margin", FMargin, defaults.FMargin);
    add("MaxWidth", FMaxWidth, defaults.FMaxWidth);
    add("MinWidth", FMinWidth, defaults.FMinWidth);
    add("Options", int(FOptions.Bits()), int(defaults.FOptions.Bits()));
    add("Position", int(FPosition), int(Index()));
    add("Spacing", FSpacing, defaults.FSpacing);
    add("Style", int(FStyle), int(defaults.FStyle));
    add("Tag", qlonglong(Tag), qlonglong(0));
    add("Width", FWidth, defaults.FWidth);
    out.append(DefinedProperties());
    return out;
}

bool TLazyTreeColumn::ReadStoredProperty(const QString& Name, const QVariant& Value) {
    if (ReadDefinedProperty(Name, Value)) return true;
    const int v = Value.toInt();
    if (Name == QStringLiteral("Alignment")) SetAlignment(TAlignment(std::clamp(v, 0, 2)));
    else if (Name == QStringLiteral("BiDiMode")) SetBiDiMode(TBiDiMode(std::clamp(v, 0, 3)));
    else if (Name == QStringLiteral("CaptionAlignment")) SetCaptionAlignment(TAlignment(std::clamp(v, 0, 2)));
    else if (Name == QStringLiteral("CheckBox")) SetCheckBox(Value.toBool());
    else if (Name == QStringLiteral("CheckState")) SetCheckState(TCheckState(std::clamp(v, 0, int(csMixedDisabled))));
    else if (Name == QStringLiteral("CheckType")) SetCheckType(TCheckType(std::clamp(v, 0, int(ctButton))));
    else if (Name == QStringLiteral("Color")) SetColor(TColor(v));
    else if (Name == QStringLiteral("DefaultSortDirection")) DefaultSortDirection = TSortDirection(v & 1);
    else if (Name == QStringLiteral("ImageIndex")) SetImageIndex(v);
    else if (Name == QStringLiteral("Layout")) SetLayout(TLTHeaderColumnLayout(std::clamp(v, 0, 3)));
    else if (Name == QStringLiteral("Margin")) SetMargin(v);
    else if (Name == QStringLiteral("MaxWidth")) SetMaxWidth(v);
    else if (Name == QStringLiteral("MinWidth")) SetMinWidth(v);
    else if (Name == QStringLiteral("Options")) SetOptions(TLTColumnOptions::FromBits(uint16_t(v)));
    else if (Name == QStringLiteral("Position")) FPosition = TColumnPosition(std::max(v, 0));  // fixed after loading
    else if (Name == QStringLiteral("Spacing")) SetSpacing(v);
    else if (Name == QStringLiteral("Style")) SetStyle(TLazyTreeColumnStyle(v & 1));
    else if (Name == QStringLiteral("Tag")) Tag = intptr_t(Value.toLongLong());
    else if (Name == QStringLiteral("Width")) SetWidth(v);
    else return false;
    return true;
}

bool TLTHeader::StoreColumnsProperty(QList<TLTPropertyList>& Items, const TLTHeader* Ancestor) const {
    Items.clear();
    if (!ColumnsAreStored()) return false;
    if (Ancestor && FColumns->Equals(Ancestor->Columns())) return false;
    for (int i = 0; i < FColumns->Count(); ++i) Items.append(FColumns->Items(i)->StoredProperties());
    return true;
}

void TLTHeader::LoadColumnsProperty(const QList<TLTPropertyList>& Items) {
    FStates.Include(hsLoading);
    try {
        FColumns->ClearColumns();
        // Positions count once every column is there: adding a column
        // renumbers the others, so they are kept aside until the end.
        QList<TColumnPosition> positions;
        bool positioned = false;
        for (const TLTPropertyList& item : Items) {
            TLazyTreeColumn* c = FColumns->Add();
            TColumnPosition position = TColumnPosition(c->Index());
            for (const auto& [name, value] : item) {
                if (name == QStringLiteral("Position")) {
                    position = TColumnPosition(std::max(value.toInt(), 0));
                    positioned = true;
                } else {
                    c->ReadStoredProperty(name, value);
                }
            }
            positions.append(position);
        }
        // A damaged set falls back to the index order.
        if (positioned) {
            for (int i = 0; i < positions.size(); ++i) FColumns->Items(i)->FPosition = positions[i];
            FColumns->RebuildPositionArray();
        }
    } catch (...) {
        FStates.Exclude(hsLoading);
        throw;
    }
    FStates.Exclude(hsLoading);
}
