#pragma once
// The class library's exception family. Every error the program raises is an
// Exception carrying its own English message; the dispatch boundary shows it.
#include <QString>
#include <exception>
#include <string>

class Exception : public std::exception {
public:
    explicit Exception(const QString& msg, int helpContext = 0)
        : FMessage(msg), FHelpContext(helpContext), FUtf8(msg.toStdString()) {}
    ~Exception() override = default;
    const QString& Message() const { return FMessage; }
    void SetMessage(const QString& m) { FMessage = m; FUtf8 = m.toStdString(); }
    int HelpContext() const { return FHelpContext; }
    virtual QString ClassName() const { return QStringLiteral("Exception"); }
    const char* what() const noexcept override { return FUtf8.c_str(); }

private:
    QString FMessage;
    int FHelpContext;
    std::string FUtf8;
};

#define KAL_DECLARE_EXCEPTION(Name, Base)                                          \
    class Name : public Base {                                                    \
    public:                                                                       \
        using Base::Base;                                                         \
        QString ClassName() const override { return QStringLiteral(#Name); }      \
    };

KAL_DECLARE_EXCEPTION(EConvertError, Exception)
KAL_DECLARE_EXCEPTION(EListError, Exception)
// A string list's own errors are list errors too, so one handler for list
// errors also sees "List index out of bounds" raised by a string list.
KAL_DECLARE_EXCEPTION(EStringListError, EListError)
KAL_DECLARE_EXCEPTION(EStreamError, Exception)
KAL_DECLARE_EXCEPTION(EFileStreamError, EStreamError)
KAL_DECLARE_EXCEPTION(EFCreateError, EFileStreamError)
KAL_DECLARE_EXCEPTION(EFOpenError, EFileStreamError)
KAL_DECLARE_EXCEPTION(EReadError, EStreamError)
KAL_DECLARE_EXCEPTION(EWriteError, EStreamError)
KAL_DECLARE_EXCEPTION(EInvalidOperation, Exception)
// A checked conversion to a class the object is not of.
KAL_DECLARE_EXCEPTION(EInvalidCast, Exception)
KAL_DECLARE_EXCEPTION(EInvalidPointer, Exception)
KAL_DECLARE_EXCEPTION(EOutOfResources, Exception)
KAL_DECLARE_EXCEPTION(EInOutError, Exception)
KAL_DECLARE_EXCEPTION(EAbort, Exception)
// A broken internal contract (misuse of a programming interface).
KAL_DECLARE_EXCEPTION(EAssertionFailed, Exception)
KAL_DECLARE_EXCEPTION(EOSError, Exception)
KAL_DECLARE_EXCEPTION(EMathError, Exception)
KAL_DECLARE_EXCEPTION(EInvalidOp, EMathError)
KAL_DECLARE_EXCEPTION(EOverflow, EMathError)
KAL_DECLARE_EXCEPTION(EZeroDivide, EMathError)
KAL_DECLARE_EXCEPTION(EClassNotFound, Exception)
KAL_DECLARE_EXCEPTION(EComponentError, Exception)
KAL_DECLARE_EXCEPTION(EThread, Exception)
KAL_DECLARE_EXCEPTION(EIniFileException, Exception)
