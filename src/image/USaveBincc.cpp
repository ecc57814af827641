#include "image/USaveBincc.h"

#include "project/ProjectFiles.h"
#include "project/Models.h"
#include "project/OpenProject.h"
#include "image/Bin_CAN.h"
#include "image/Bin_CANopen.h"
#include "image/Bin_DMX.h"
#include "image/Bin_Ethernet.h"
#include "image/Bin_MBus.h"
#include "image/Bin_Modbus.h"
#include "image/J1939Tables.h"
#include "platform/core/Files.h"

#include <QDir>
#include <QFile>

#include <memory>

namespace {

// Every model that has a device image. A null builder is a model whose
// builder is not part of this program yet: it builds nothing and says so.
const TModelImage Model_Images[] = {
    {1, "Build_Bin_ModbusM", Build_Bin_ModbusM, TBankFiles::Bank, 55296},
    {1001, "Build_Bin_ModbusM", Build_Bin_ModbusM, TBankFiles::Bank, 55296},
    {2, "Build_Bin_ModbusS", Build_Bin_ModbusS, TBankFiles::Bank, 22528},
    {3, "Build_Bin_ModbusTCPM", Build_Bin_ModbusTCPM, TBankFiles::Bank, 55296},
    {1003, "Build_Bin_ModbusTCPM", Build_Bin_ModbusTCPM, TBankFiles::Bank, 55296},
    {4, "Build_Bin_ModbusTCPS", Build_Bin_ModbusTCPS, TBankFiles::Bank, 22528},
    {5, "Build_Bin_CAN", Build_Bin_CAN, TBankFiles::Bank, 55296},
    {6, "Build_Bin_CANopen", Build_Bin_CANopen, TBankFiles::Bank, 79872},
    {9, "Build_Bin_J1939", Build_Bin_J1939, TBankFiles::Bank, 55296},
    {10, "Build_Bin_MBus", Build_Bin_MBus, TBankFiles::Bank1_Bank2, 23552},
    {1010, "Build_Bin_MBus", Build_Bin_MBus, TBankFiles::Bank1_Bank2, 23552},
    {11, "Build_Bin_DMX", Build_Bin_DMX, TBankFiles::Bank, 23040},
    {1011, "Build_Bin_DMX", Build_Bin_DMX, TBankFiles::Bank, 23040},
    {12, "Build_Bin_PROFINET", Build_Bin_PROFINET, TBankFiles::Bank, 22528},
    {1012, "Build_Bin_PROFINET", Build_Bin_PROFINET, TBankFiles::Bank, 22528},
    {13, "Build_Bin_EtherNetIP", Build_Bin_EtherNetIP, TBankFiles::Bank, 22528},
    {14, "Build_Bin_KNXIP", Build_Bin_KNXIP, TBankFiles::Bank, 2048},
    {1014, "Build_Bin_KNXIP", Build_Bin_KNXIP, TBankFiles::Bank, 2048},
    {15, "Build_Bin_SNMP", Build_Bin_SNMP, TBankFiles::Bank, 22528},
};

// What the last Build_Bin left for Write_Bin.
struct TLastBuild {
    bool Built = false;
    int Model_Code = 0;
    TBankFiles Files = TBankFiles::None;
    QByteArray Bank2;
};
TLastBuild Last_Build;

void writeBank(const QString& binDir, const QString& name, const QByteArray& bytes)
{
    WriteFileWhole(PathJoin(binDir, name), bytes);
}

// The two M-Bus files describe one network and go to the gateway together:
// when bank2.bin cannot be written, bank1.bin is put back as it was (or
// removed when there was none), so the folder never holds a mixed pair.
void writeBankPair(const QString& binDir, const QByteArray& bank1, const QByteArray& bank2)
{
    const QString path1 = PathJoin(binDir, ProjectFiles::Bank1);
    const bool hadBank1 = FileExists(path1);
    const QByteArray old1 = hadBank1 ? ReadFileWhole(path1) : QByteArray();
    writeBank(binDir, ProjectFiles::Bank1, bank1);
    try {
        writeBank(binDir, ProjectFiles::Bank2, bank2);
    } catch (const Exception&) {
        try {
            if (hadBank1)
                WriteFileWhole(path1, old1);
            else
                QFile::remove(path1);
        } catch (const Exception&) {
            // The first failure is the one the caller needs to see.
        }
        throw;
    }
}

} // namespace

const TModelImage* Find_Model_Image(int modelCode)
{
    for (const TModelImage& m : Model_Images)
        if (m.Model_Code == modelCode)
            return &m;
    return nullptr;
}

TImageResult Build_Image(const QString& projectDir, int modelCode, TBinBuffer& buffer)
{
    TImageResult result;
    const TModelImage* model = Find_Model_Image(modelCode);
    if (!model) {
        result.Status = TBuildStatus::No_Image;
        result.Note = QStringLiteral("Model %1 has no device image").arg(modelCode);
        return result;
    }
    if (!model->Build) {
        result.Status = TBuildStatus::Not_Built_Yet;
        result.Note = QStringLiteral("The device image of model %1 (%2) is not built yet")
                          .arg(modelCode)
                          .arg(QLatin1String(model->Builder));
        return result;
    }
    TImageBuild build(projectDir, modelCode, buffer);
    try {
        model->Build(build);
    } catch (const ETableFileError& e) {
        throw EImageError(e.Message());
    }
    // A builder that ends at another length has laid its tables out wrongly;
    // such an image must never reach the gateway.
    if (buffer.Bin_Count != model->Length)
        throw EImageError(QStringLiteral("%1 built %2 bytes instead of %3")
                              .arg(QLatin1String(model->Builder))
                              .arg(buffer.Bin_Count)
                              .arg(model->Length));
    result.Status = TBuildStatus::Built;
    result.Files = model->Files;
    result.Bank = buffer.Image();
    result.Bank2 = build.Bank2;
    return result;
}

TImageResult Build_Image(const QString& projectDir, int modelCode)
{
    const auto buffer = std::make_unique<TBinBuffer>();
    return Build_Image(projectDir, modelCode, *buffer);
}

void Write_Image(const QString& projectDir, const TImageResult& image)
{
    if (image.Status != TBuildStatus::Built)
        return;
    // Only the bin folder is ever made here: a project folder that has gone
    // away is not brought back with a device image in it.
    if (!DirectoryExists(projectDir))
        throw EImageError(QStringLiteral("The project folder %1 does not exist").arg(projectDir));
    const QString binDir = PathJoin(projectDir, ProjectFiles::BinFolder);
    if (!DirectoryExists(binDir) && !QDir().mkdir(binDir))
        throw EImageError(QStringLiteral("Cannot create the folder %1").arg(binDir));
    switch (image.Files) {
    case TBankFiles::None:
        break;
    case TBankFiles::Bank:
        writeBank(binDir, ProjectFiles::Bank, image.Bank);
        break;
    case TBankFiles::Bank1_Bank2:
        writeBankPair(binDir, image.Bank, image.Bank2);
        break;
    }
}

// ---------------------------------------------------------------------------

TBinBuffer Bin_Buffer;

namespace {

// The entry points work on the open project only: with none open there is no
// folder to read from or to write into.
void requireProject()
{
    if (Dir_Project.isEmpty())
        throw EImageError(QStringLiteral("No project is open"));
}

} // namespace

TBuildStatus Build_Bin()
{
    Last_Build = TLastBuild{};
    requireProject();
    const TImageResult r = Build_Image(Dir_Project, Model_Code, Bin_Buffer);
    if (r.Status == TBuildStatus::Built)
        Last_Build = TLastBuild{true, Model_Code, r.Files, r.Bank2};
    return r.Status;
}

bool Write_Bin()
{
    if (!Last_Build.Built || Last_Build.Model_Code != Model_Code)
        return false;
    requireProject();
    TImageResult image;
    image.Status = TBuildStatus::Built;
    image.Files = Last_Build.Files;
    image.Bank = Bin_Buffer.Image();
    image.Bank2 = Last_Build.Bank2;
    Write_Image(Dir_Project, image);
    return true;
}

void Write_Device_Image()
{
    switch (Build_Bin()) {
    case TBuildStatus::Built:
        if (!Write_Bin())
            throw EImageError(QStringLiteral("The device image was built but could not be written."));
        return;
    case TBuildStatus::No_Image:
        return;
    case TBuildStatus::Not_Built_Yet:
        throw EImageError(QStringLiteral("This program cannot build the device image of its model."));
    }
}
