#pragma once
// The device image of every model: the dispatch by model code to the model's
// builder, the bank files each model writes, and the program's entry points
// that the "Update Device" step calls.
//
// A builder is `void Build_Bin_<Model>(TImageBuild&)`: it fills the shared
// records (Init_Par_Gen, Init_KNX_Table), clears its own tables, loads
// ParGen.xml and its table files, then serializes from position 0 of
// `build.Bin` and leaves the image length in `build.Bin.Bin_Count` (the M-Bus
// builder also fills `build.Bank2`). It raises EImageError (or the XML
// document's EXmlError) when a file cannot be used; nothing is written then.
#include "image/ImageBuild.h"

#include <QByteArray>
#include <QString>

using TBuildFn = void (*)(TImageBuild&);

// Which bank files a model writes into the project's bin folder.
enum class TBankFiles {
    None,        // the DeviceNet models build no image
    Bank,        // bank.bin
    Bank1_Bank2, // bank1.bin from the buffer, bank2.bin from the second stream
};

struct TModelImage {
    int Model_Code;
    const char* Builder; // the builder's name, for notes and messages
    TBuildFn Build;      // nullptr while the model's builder is not written
    TBankFiles Files;
    int Length;          // image length (bank1.bin for the M-Bus models)
};

// The row of a model code; nullptr for a code that builds nothing (7, 8 and
// codes that are not models).
const TModelImage* Find_Model_Image(int modelCode);

enum class TBuildStatus {
    Built,
    No_Image,      // the model has no device image (DeviceNet, unknown codes)
    Not_Built_Yet, // the model's builder is not part of this program yet
};

struct TImageResult {
    TBuildStatus Status = TBuildStatus::No_Image;
    QString Note; // why nothing was built; empty when built
    TBankFiles Files = TBankFiles::None;
    QByteArray Bank;  // bank.bin, or bank1.bin for the M-Bus models
    QByteArray Bank2; // bank2.bin for the M-Bus models
};

// Builds the image of `modelCode` from the project folder into `buffer`
// (bytes past the image keep what was there). Raises when a project file
// cannot be used.
TImageResult Build_Image(const QString& projectDir, int modelCode, TBinBuffer& buffer);
// The same in a buffer of its own.
TImageResult Build_Image(const QString& projectDir, int modelCode);

// Writes the result's bank file(s) whole into <projectDir>/bin, creating the
// folder when it is missing; does nothing for a result that was not built.
// A file that cannot be created or written raises (EImageError, EFCreateError
// or EWriteError) naming it.
void Write_Image(const QString& projectDir, const TImageResult& image);

// ---------------------------------------------------------------------------
// The program's image, built for Model_Code from the open project (Dir_Project).

// The one buffer of the program run; its Bin_Count is the last image's length.
extern TBinBuffer Bin_Buffer;

// Builds the image of Model_Code from Dir_Project into Bin_Buffer. Raises when
// a project file cannot be used; the caller then does not write.
TBuildStatus Build_Bin();
// Writes the bank file(s) of the last successful Build_Bin into the open
// project's bin folder; answers false (and writes nothing) when that build
// produced no image or failed. Raises when a file cannot be written.
bool Write_Bin();

// The image step of "Update Device": builds the open project's image and
// writes it. An image that is not built must never let an old bank file go to
// the gateway, so anything short of a written image raises, except for a model
// that has no image at all (DeviceNet), which goes on without one.
void Write_Device_Image();
