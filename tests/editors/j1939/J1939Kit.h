#pragma once
// The two J1939 editors on a project folder of their own, with the default
// texts and scripted message boxes.
#include "editors/MapEditorKit.h"
#include "editors/UReceiveJ1939.h"
#include "editors/UTransmitJ1939.h"

class J1939Test : public MapEditorTest {
protected:
    void SetUp() override
    {
        MapEditorTest::SetUp();
        Saved_Rec = File_J1939_Rec_Frames;
        Saved_Send = File_J1939_Send_Frames;
        File_J1939_Rec_Frames = PathJoin(Tmp.path(), QStringLiteral("J1939_Rec_Frames.xml"));
        File_J1939_Send_Frames = PathJoin(Tmp.path(), QStringLiteral("J1939_Send_Frames.xml"));
        Rec = new TFReceiveJ1939(nullptr);
        Rec->AfterConstruction();
        Send = new TFTransmitJ1939(nullptr);
        Send->AfterConstruction();
    }
    void TearDown() override
    {
        delete Send;
        delete Rec;
        File_J1939_Rec_Frames = Saved_Rec;
        File_J1939_Send_Frames = Saved_Send;
        MapEditorTest::TearDown();
    }

    void WriteRec(const QByteArray& rows)
    {
        Write(File_J1939_Rec_Frames, "<Receive_J1939>" + rows + "</Receive_J1939>");
    }
    void WriteSend(const QByteArray& rows)
    {
        Write(File_J1939_Send_Frames, "<Receive_J1939>" + rows + "</Receive_J1939>");
    }

    TFReceiveJ1939* Rec = nullptr;
    TFTransmitJ1939* Send = nullptr;
    QString Saved_Rec, Saved_Send;
};
