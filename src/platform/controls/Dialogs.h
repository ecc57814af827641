#pragma once
// The one service through which message boxes, file and folder dialogs and
// modal forms reach the user. A test installs a TDialogScript: every dialog is
// then recorded (kind, caption, text, buttons) and answered from the script
// instead of waiting for a person.
#include "platform/controls/Messages.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <variant>

class TCustomForm;
class QMessageBox;

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll,
                  mbYesToAll, mbHelp, mbClose };
using TMsgDlgButtons = unsigned;  // a set: bit (1 << TMsgDlgBtn)
constexpr TMsgDlgButtons MsgDlgButtons(std::initializer_list<TMsgDlgBtn> buttons) {
    TMsgDlgButtons set = 0;
    for (auto b : buttons) set |= 1u << b;
    return set;
}
constexpr TMsgDlgButtons mbOKCancel = (1u << mbOK) | (1u << mbCancel);
constexpr TMsgDlgButtons mbYesNoCancel = (1u << mbYes) | (1u << mbNo) | (1u << mbCancel);

// MessageBox flags.
enum : unsigned {
    MB_OK = 0x0, MB_OKCANCEL = 0x1, MB_ABORTRETRYIGNORE = 0x2, MB_YESNOCANCEL = 0x3, MB_YESNO = 0x4,
    MB_RETRYCANCEL = 0x5, MB_ICONHAND = 0x10, MB_ICONERROR = 0x10, MB_ICONSTOP = 0x10,
    MB_ICONQUESTION = 0x20, MB_ICONEXCLAMATION = 0x30, MB_ICONWARNING = 0x30,
    MB_ICONASTERISK = 0x40, MB_ICONINFORMATION = 0x40, MB_DEFBUTTON1 = 0x000, MB_DEFBUTTON2 = 0x100,
    MB_DEFBUTTON3 = 0x200, MB_APPLMODAL = 0x0, MB_TASKMODAL = 0x2000,
};

enum class TDialogKind { MessageBox, OpenFile, SaveFile, Folder, ModalForm };

// What a dialog showed, as the user would have seen it.
struct TDialogRecord {
    TDialogKind Kind = TDialogKind::MessageBox;
    QString Caption;
    QString Text;
    TMsgDlgType Type = mtCustom;  // the icon
    QList<int> Buttons;           // the results the buttons return, in display order
    QString Filter;               // file dialogs
    QString InitialDir;
    QString FileName;             // the proposed name
    int Result = 0;               // what the dialog returned
};

class TDialogScript {
public:
    using ModalStep = std::function<void(TCustomForm* form)>;

    // Queues the answer of the next message box (a button's result).
    void Answer(int result) { FAnswers.push_back(result); }
    // Queues the answer of the next file or folder dialog; an empty text cancels it.
    void AnswerFile(const QString& path) { FFiles.push_back(path); }
    // Queues what happens inside the next modal form: the step runs once the
    // form is showing; it must end the form (ModalResult, a click, a key).
    void AnswerModal(ModalStep step) { FModal.push_back(std::move(step)); }

    QList<TDialogRecord> Shown;
    const TDialogRecord& Last() const { return Shown.back(); }
    int Count(TDialogKind kind) const;

    // Used by the service.
    std::optional<int> NextAnswer();
    std::optional<QString> NextFile();
    std::optional<ModalStep> NextModal();

private:
    std::deque<int> FAnswers;
    std::deque<QString> FFiles;
    std::deque<ModalStep> FModal;
};

// Installs (or with nullptr removes) the script that answers every dialog.
void InstallDialogScript(TDialogScript* script);
TDialogScript* DialogScript();

// Message boxes. Without a scripted answer a script takes the first button.
int MessageDlg(const QString& msg, TMsgDlgType type, TMsgDlgButtons buttons, int helpCtx = 0);
void ShowMessage(const QString& msg);
int MessageBox(const QString& text, const QString& caption, unsigned flags);
// The results of MessageDlg's buttons, in the order they are shown.
QList<int> MsgDlgResults(TMsgDlgButtons buttons);

// The toolkit box a person answers, built as MessageDlg shows it (exposed so
// tests can press its keys), and its answer once it has closed. Escape and
// the close box answer Cancel where the box has it, or its only button; a
// box of Yes and No cannot be closed without one of the two.
std::unique_ptr<QMessageBox> CreateMessageBox(const TDialogRecord& rec, int defaultIndex);
int MessageBoxAnswer(const QMessageBox& box, const TDialogRecord& rec);

// File and folder choice; an empty result means the user cancelled.
QString PromptOpenFile(const QString& title, const QString& filter, const QString& initialDir,
                       const QString& fileName);
QString PromptSaveFile(const QString& title, const QString& filter, const QString& initialDir,
                       const QString& fileName);
QString PromptFolder(const QString& title, const QString& initialDir);

// Components over the file prompts, as the forms place them.
class TOpenDialog {
public:
    virtual ~TOpenDialog() = default;
    QString Title, Filter, InitialDir, FileName, DefaultExt;
    int FilterIndex = 1;
    virtual bool Execute();
};
class TSaveDialog : public TOpenDialog {
public:
    bool Execute() override;
};
// The folder prompt; true with the chosen folder in Directory.
bool SelectDirectory(const QString& caption, const QString& root, QString& directory);
