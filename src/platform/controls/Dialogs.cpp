#include "platform/controls/Dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>

namespace {
TDialogScript* gScript = nullptr;

// A person can answer only where there is a screen; a headless run without a
// script takes the default answer rather than wait forever.
bool CanAskAPerson() {
    return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr &&
           QGuiApplication::platformName() != QLatin1String("offscreen");
}

struct ButtonInfo {
    TMsgDlgBtn Btn;
    int Result;
    const char* Caption;
};
// Display order and results of the message dialog's buttons.
constexpr ButtonInfo kButtons[] = {
    {mbYes, mrYes, "&Yes"},       {mbNo, mrNo, "&No"},
    {mbOK, mrOk, "OK"},           {mbCancel, mrCancel, "Cancel"},
    {mbAbort, mrAbort, "&Abort"}, {mbRetry, mrRetry, "&Retry"},
    {mbIgnore, mrIgnore, "&Ignore"}, {mbAll, mrAll, "&All"},
    {mbNoToAll, mrNoToAll, "N&o to All"}, {mbYesToAll, mrYesToAll, "Yes to &All"},
    {mbHelp, mrHelp, "&Help"},    {mbClose, mrClose, "&Close"},
};

const char* CaptionOfResult(int result) {
    for (const auto& b : kButtons)
        if (b.Result == result) return b.Caption;
    return "OK";
}

QString TypeCaption(TMsgDlgType type) {
    switch (type) {
    case mtWarning: return QStringLiteral("Warning");
    case mtError: return QStringLiteral("Error");
    case mtInformation: return QStringLiteral("Information");
    case mtConfirmation: return QStringLiteral("Confirm");
    default: return QCoreApplication::applicationName();
    }
}

QList<int> MessageBoxResults(unsigned flags) {
    switch (flags & 0xF) {
    case MB_OKCANCEL: return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE: return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL: return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO: return {IDYES, IDNO};
    case MB_RETRYCANCEL: return {IDRETRY, IDCANCEL};
    default: return {IDOK};
    }
}

TMsgDlgType TypeOfFlags(unsigned flags) {
    switch (flags & 0xF0) {
    case MB_ICONERROR: return mtError;
    case MB_ICONQUESTION: return mtConfirmation;
    case MB_ICONWARNING: return mtWarning;
    case MB_ICONINFORMATION: return mtInformation;
    default: return mtCustom;
    }
}

int AskPerson(const TDialogRecord& rec, int defaultIndex) {
    const std::unique_ptr<QMessageBox> box = CreateMessageBox(rec, defaultIndex);
    box->exec();
    return MessageBoxAnswer(*box, rec);
}

int Show(TDialogRecord rec, int defaultIndex) {
    if (gScript) {
        rec.Result = gScript->NextAnswer().value_or(
            rec.Buttons.value(defaultIndex, rec.Buttons.value(0, mrOk)));
        gScript->Shown << rec;
        return rec.Result;
    }
    if (CanAskAPerson()) return AskPerson(rec, defaultIndex);
    return rec.Buttons.value(defaultIndex, rec.Buttons.value(0, mrOk));
}

QString ShowFile(TDialogRecord rec) {
    if (gScript) {
        rec.FileName = gScript->NextFile().value_or(QString());
        rec.Result = rec.FileName.isEmpty() ? mrCancel : mrOk;
        gScript->Shown << rec;
        return rec.FileName;
    }
    if (!CanAskAPerson()) return QString();
    // The class library's filter is "Text|*.txt|All|*.*"; Qt wants "Text (*.txt);;All (*.*)".
    QStringList parts = rec.Filter.split(QLatin1Char('|'));
    QStringList qtFilters;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        qtFilters << parts[i] + QStringLiteral(" (") + QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' ')) + QLatin1Char(')');
    const QString start = rec.FileName.isEmpty() ? rec.InitialDir : rec.InitialDir + QLatin1Char('/') + rec.FileName;
    switch (rec.Kind) {
    case TDialogKind::OpenFile:
        return QFileDialog::getOpenFileName(nullptr, rec.Caption, start, qtFilters.join(QStringLiteral(";;")));
    case TDialogKind::SaveFile:
        return QFileDialog::getSaveFileName(nullptr, rec.Caption, start, qtFilters.join(QStringLiteral(";;")));
    default:
        return QFileDialog::getExistingDirectory(nullptr, rec.Caption, rec.InitialDir);
    }
}
}  // namespace

std::unique_ptr<QMessageBox> CreateMessageBox(const TDialogRecord& rec, int defaultIndex) {
    auto box = std::make_unique<QMessageBox>();
    box->setWindowTitle(rec.Caption);
    box->setText(rec.Text);
    switch (rec.Type) {
    case mtWarning: box->setIcon(QMessageBox::Warning); break;
    case mtError: box->setIcon(QMessageBox::Critical); break;
    case mtInformation: box->setIcon(QMessageBox::Information); break;
    case mtConfirmation: box->setIcon(QMessageBox::Question); break;
    default: break;
    }
    QList<QPushButton*> pushes;
    for (int r : rec.Buttons)
        pushes << box->addButton(QString::fromUtf8(CaptionOfResult(r)).remove(QLatin1Char('&')),
                                 QMessageBox::AcceptRole);
    if (defaultIndex >= 0 && defaultIndex < pushes.size()) box->setDefaultButton(pushes[defaultIndex]);
    // Escape and the close box answer Cancel where there is one, or the only
    // button. A box of Yes and No has neither: it cannot be closed without
    // an answer (a caller comparing with No must never see Cancel).
    const int cancel = int(rec.Buttons.indexOf(mrCancel));
    if (cancel >= 0)
        box->setEscapeButton(pushes[cancel]);
    else if (pushes.size() == 1)
        box->setEscapeButton(pushes.first());
    return box;
}

int MessageBoxAnswer(const QMessageBox& box, const TDialogRecord& rec) {
    const auto* clicked = qobject_cast<const QPushButton*>(box.clickedButton());
    const QList<QAbstractButton*> buttons = box.buttons();
    for (int i = 0; i < rec.Buttons.size() && i < buttons.size(); ++i)
        if (buttons[i] == clicked) return rec.Buttons[i];
    // Closed without a click (the toolkit ended the loop): the answer that
    // changes nothing.
    if (rec.Buttons.contains(mrCancel)) return mrCancel;
    if (rec.Buttons.contains(mrNo)) return mrNo;
    return rec.Buttons.value(0, mrOk);
}

int TDialogScript::Count(TDialogKind kind) const {
    int n = 0;
    for (const auto& r : Shown) n += r.Kind == kind ? 1 : 0;
    return n;
}

std::optional<int> TDialogScript::NextAnswer() {
    if (FAnswers.empty()) return std::nullopt;
    int v = FAnswers.front();
    FAnswers.pop_front();
    return v;
}

std::optional<QString> TDialogScript::NextFile() {
    if (FFiles.empty()) return std::nullopt;
    QString v = FFiles.front();
    FFiles.pop_front();
    return v;
}

std::optional<TDialogScript::ModalStep> TDialogScript::NextModal() {
    if (FModal.empty()) return std::nullopt;
    ModalStep v = std::move(FModal.front());
    FModal.pop_front();
    return v;
}

void InstallDialogScript(TDialogScript* script) { gScript = script; }
TDialogScript* DialogScript() { return gScript; }

QList<int> MsgDlgResults(TMsgDlgButtons buttons) {
    QList<int> results;
    for (const auto& b : kButtons)
        if (buttons & (1u << b.Btn)) results << b.Result;
    return results;
}

int MessageDlg(const QString& msg, TMsgDlgType type, TMsgDlgButtons buttons, int) {
    TDialogRecord rec;
    rec.Caption = TypeCaption(type);
    rec.Text = msg;
    rec.Type = type;
    rec.Buttons = MsgDlgResults(buttons);
    if (rec.Buttons.isEmpty()) rec.Buttons << mrOk;
    return Show(rec, 0);
}

void ShowMessage(const QString& msg) {
    TDialogRecord rec;
    rec.Caption = QCoreApplication::applicationName();
    rec.Text = msg;
    rec.Buttons << mrOk;
    Show(rec, 0);
}

int MessageBox(const QString& text, const QString& caption, unsigned flags) {
    TDialogRecord rec;
    rec.Caption = caption;
    rec.Text = text;
    rec.Type = TypeOfFlags(flags);
    rec.Buttons = MessageBoxResults(flags);
    return Show(rec, static_cast<int>((flags >> 8) & 0xF));
}

QString PromptOpenFile(const QString& title, const QString& filter, const QString& initialDir,
                       const QString& fileName) {
    TDialogRecord rec{TDialogKind::OpenFile, title, {}, mtCustom, {}, filter, initialDir, fileName, 0};
    return ShowFile(rec);
}

QString PromptSaveFile(const QString& title, const QString& filter, const QString& initialDir,
                       const QString& fileName) {
    TDialogRecord rec{TDialogKind::SaveFile, title, {}, mtCustom, {}, filter, initialDir, fileName, 0};
    return ShowFile(rec);
}

QString PromptFolder(const QString& title, const QString& initialDir) {
    TDialogRecord rec{TDialogKind::Folder, title, {}, mtCustom, {}, {}, initialDir, {}, 0};
    return ShowFile(rec);
}

bool TOpenDialog::Execute() {
    const QString chosen = PromptOpenFile(Title, Filter, InitialDir, FileName);
    if (chosen.isEmpty()) return false;
    FileName = chosen;
    return true;
}

bool TSaveDialog::Execute() {
    QString chosen = PromptSaveFile(Title, Filter, InitialDir, FileName);
    if (chosen.isEmpty()) return false;
    // A name typed without an extension gets the default one.
    if (!DefaultExt.isEmpty() && !chosen.section(QLatin1Char('/'), -1).contains(QLatin1Char('.')))
        chosen += QLatin1Char('.') + DefaultExt;
    FileName = chosen;
    return true;
}

bool SelectDirectory(const QString& caption, const QString& root, QString& directory) {
    const QString chosen = PromptFolder(caption, directory.isEmpty() ? root : directory);
    if (chosen.isEmpty()) return false;
    directory = chosen;
    return true;
}
