#include "image/J1939Tables.h"

#include "project/ProjectFiles.h"
#include "image/ImageBuild.h"

#include <optional>

namespace {

namespace R = ProjectFiles::J1939RecXml;
namespace S = ProjectFiles::J1939SendXml;

// A frame file and its rows; a missing file has none. A file with more rows
// than the table holds is refused before anything is filled. The rows point
// into the file, which this object owns.
struct TFrameRows {
    std::optional<TProjectFile> File;
    QList<XmlNode> Rows;
};

TFrameRows frameRows(const TImageBuild& build, const QString& name, const char* table)
{
    TFrameRows r;
    if (!build.Has_File(name))
        return r;
    r.File.emplace(build.Load_File(name));
    r.Rows = r.File->Root().ChildElements();
    if (r.Rows.size() > TJ1939_Tables::Records)
        throw EImageError(QStringLiteral("The J1939 %1 table holds at most %2 frames; %3 has %4")
                              .arg(QLatin1String(table))
                              .arg(TJ1939_Tables::Records)
                              .arg(build.File(name))
                              .arg(r.Rows.size()));
    return r;
}

TJ1939_Record receiveRecord(const TRowReader& row, bool peerToPeer, uint32_t deleteTime, uint32_t dataOffset)
{
    TJ1939_Record r = J1939_Empty_Record;
    // A missing or non-numeric PGN or SA only shifts what is there.
    uint32_t id = uint32_t(row.Number_Or(R::DP, 0, 0));
    id = uint32_t(row.Number_Or(R::PGN, 0, 0)) + id * 65536u;
    id = peerToPeer ? id * 256u : uint32_t(row.Number_Or(R::SA, 0, 0)) + id * 256u;
    r.Identifier = id;
    r.Time_4 = 0;
    r.Time_8 = row.Flag(R::Delete_Flag) ? deleteTime : 0;
    r.TP_Flag = row.Flag(R::TP_Flag) ? 1 : 0;
    r.Data_Offset = uint16_t(dataOffset);
    r.Start_Byte = uint16_t(row.Number_Or(R::TP_Start, 0, 0));
    r.Byte_Count = uint16_t(row.Number_Or(R::TP_NByte, 8, 8));
    if (row.Flag(R::OnRequest_Flag))
        r.Flags |= J1939Flag::Rec_On_Request;
    r.Time_20 = uint32_t(row.Number64_Or(R::OnReq_Time, 0, 0));
    return r;
}

// Advances the data offset by the row's whole byte count (the record keeps
// its low 16 bits).
TJ1939_Record sendRecord(const TRowReader& row, uint32_t& dataOffset)
{
    TJ1939_Record r = J1939_Empty_Record;
    uint32_t id = uint32_t(row.Number_Or(S::Priority, 0, 0));
    id = uint32_t(row.Number_Or(S::DP, 0, 0)) + id * 4u;
    id = uint32_t(row.Number_Or(S::PGN, 0, 0)) + id * 65536u;
    id = uint32_t(row.Number_Or(S::SA, 0, 0)) + id * 256u;
    r.Identifier = id;
    r.Time_4 = 0;
    r.Flags = J1939Flag::Send_Always;
    if (row.Flag(S::On_Request_Flag))
        r.Flags |= J1939Flag::On_Request;
    if (row.Flag(S::On_Data_Change_Flag))
        r.Flags |= J1939Flag::On_Data_Change;
    if (row.Flag(S::On_Timer_Flag)) {
        r.Flags |= J1939Flag::On_Timer;
        r.Time_4 = uint32_t(row.Number_Or(S::SendTimer, 0, 0));
    }
    const int byteCount = row.Number_Or(S::TP_NByte, 8, 8);
    r.TP_Flag = byteCount > 8 ? 1 : 0;
    r.Data_Offset = uint16_t(dataOffset);
    r.Start_Byte = 0;
    r.Byte_Count = uint16_t(byteCount);
    dataOffset += uint32_t(byteCount);
    return r;
}

void putRecord(TBinBuffer& b, int pos, const TJ1939_Record& r)
{
    b.Put32(pos, r.Identifier);
    b.Put32(pos + 4, r.Time_4);
    b.Put32(pos + 8, r.Time_8);
    b.Put16(pos + 12, r.Data_Offset);
    b.Put16(pos + 14, r.Start_Byte);
    b.Put16(pos + 16, r.Byte_Count);
    b.Put16(pos + 18, r.Reserved_18);
    b.Put32(pos + 20, r.Time_20);
    b.Put32(pos + 24, r.Reserved_24);
    b.Put16(pos + 28, r.TP_Flag);
    b.Put8(pos + 30, r.Flags);
    b.Put8(pos + 31, r.Reserved_31);
}

} // namespace

void TJ1939_Tables::Init_J1939_Tables()
{
    J1939_Rec_Table.fill(J1939_Empty_Record);
    J1939_Send_Table.fill(J1939_Empty_Record);
    J1939_Rec_Count = 0;
    J1939_Send_Count = 0;
}

void Load_J1939_Frames(TImageBuild& build, TJ1939_Tables& t)
{
    TBin_Par_Gen& pg = build.Bin_Par_Gen;
    const bool peerToPeer = (pg.Get(TParGenField::J1939_Options) & 1) != 0;
    const uint32_t deleteTime = pg.Get(TParGenField::J1939_Delete_Time);

    // The data offsets are the running sum of the byte counts, each table on
    // its own, as the gateway lays out its data area.
    const QString recFile = build.File(ProjectFiles::J1939_Rec_Frames);
    uint32_t offset = 0;
    int n = 0;
    const TFrameRows received = frameRows(build, ProjectFiles::J1939_Rec_Frames, "receive");
    for (const XmlNode& el : received.Rows) {
        TJ1939_Record& r = t.J1939_Rec_Table[size_t(n)];
        r = receiveRecord(TRowReader(el, recFile, n + 1), peerToPeer, deleteTime, offset);
        offset += r.Byte_Count;
        ++n;
    }
    t.J1939_Rec_Count = n;

    const QString sendFile = build.File(ProjectFiles::J1939_Send_Frames);
    offset = 0;
    n = 0;
    const TFrameRows sent = frameRows(build, ProjectFiles::J1939_Send_Frames, "send");
    for (const XmlNode& el : sent.Rows) {
        TJ1939_Record& r = t.J1939_Send_Table[size_t(n)];
        r = sendRecord(TRowReader(el, sendFile, n + 1), offset);
        ++n;
    }
    t.J1939_Send_Count = n;

    pg.Set(TParGenField::J1939_Rec_Count, t.J1939_Rec_Count);
    pg.Set(TParGenField::J1939_Send_Count, t.J1939_Send_Count);
}

int Save_J1939_Tables(const TJ1939_Tables& t, int position, TBinBuffer& buffer)
{
    int pos = position;
    for (const TJ1939_Record& r : t.J1939_Rec_Table) {
        putRecord(buffer, pos, r);
        pos += TJ1939_Tables::Record_Size;
    }
    for (const TJ1939_Record& r : t.J1939_Send_Table) {
        putRecord(buffer, pos, r);
        pos += TJ1939_Tables::Record_Size;
    }
    return pos;
}

void Build_Bin_J1939(TImageBuild& build)
{
    // The tables are refilled from their defaults, so nothing of an earlier
    // build reaches this image.
    build.Bin_Par_Gen.Init_Par_Gen();
    build.KNX_Table.Init_KNX_Table();
    TJ1939_Tables tables;

    // The frame loader uses the peer-to-peer option and the delete time.
    Load_Par_Gen_J1939(build);
    Load_J1939_Frames(build, tables);
    Load_KNX_Table(build);

    build.Bin.Bin_Count = 0;
    build.Bin.Bin_Count = Save_J1939_Tables(tables, 0, build.Bin);
    Save_KNX_Table_And_Par_Gen(build);
}
