#pragma once
// Late-bound automation: servers are created or attached by their
// programmatic name, and their objects' members are read, written and called
// by name with variant values. The program registers no server; where none is
// registered, creating one fails as it does on a machine without it
// ("Invalid class string") and attaching finds none running.
#include "platform/core/Exceptions.h"

#include <QString>
#include <QVariant>

#include <functional>
#include <memory>
#include <vector>

KAL_DECLARE_EXCEPTION(EOleSysError, Exception)
KAL_DECLARE_EXCEPTION(EOleError, Exception)

class TAutoObject;
using TAutoRef = std::shared_ptr<TAutoObject>;

// A value passed to or from a member: empty, a scalar, an object, an error
// value, or a two-dimensional array (rows of columns, 0-based here; servers
// number them from 1).
struct TOleVariant {
    TOleVariant() = default;
    TOleVariant(const QVariant& v) : Value(v) {}                           // NOLINT: values convert
    TOleVariant(const QString& v) : Value(v) {}                            // NOLINT
    TOleVariant(const char* v) : Value(QString::fromUtf8(v)) {}            // NOLINT
    TOleVariant(int v) : Value(v) {}                                       // NOLINT
    TOleVariant(bool v) : Value(v) {}                                      // NOLINT
    TOleVariant(double v) : Value(v) {}                                    // NOLINT
    TOleVariant(TAutoRef o) : Object(std::move(o)) {}                      // NOLINT
    static TOleVariant Error()
    {
        TOleVariant v;
        v.IsError = true;
        return v;
    }
    static TOleVariant Array(std::vector<std::vector<TOleVariant>> rows)
    {
        TOleVariant v;
        v.IsArray = true;
        v.Rows = std::move(rows);
        return v;
    }
    bool IsEmpty() const { return !Object && !IsArray && !IsError && !Value.isValid(); }
    bool IsObject() const { return Object != nullptr; }
    QString ToString() const { return Value.toString(); }
    int ToInt() const { return Value.toInt(); }
    bool ToBool() const { return Value.toBool(); }

    QVariant Value;
    TAutoRef Object;
    bool IsError = false;
    bool IsArray = false;
    std::vector<std::vector<TOleVariant>> Rows;
};
using TOleArgs = std::vector<TOleVariant>;

class TAutoObject {
public:
    virtual ~TAutoObject() = default;
    // A property (with index arguments when it has them).
    virtual TOleVariant Get(const QString& Name, const TOleArgs& Args = {}) = 0;
    virtual void Put(const QString& Name, const TOleVariant& Value, const TOleArgs& Args = {}) = 0;
    // A method.
    virtual TOleVariant Call(const QString& Name, const TOleArgs& Args = {}) = 0;
};

using TAutoServerFactory = std::function<TAutoRef()>;
// Makes a server known by name (case does not matter): Create makes a new
// instance, Running answers the running one or nullptr.
void RegisterAutomationServer(const QString& ProgId, TAutoServerFactory Create, TAutoServerFactory Running = nullptr);
void UnregisterAutomationServer(const QString& ProgId);
// A new instance; EOleSysError "Invalid class string" for an unknown name.
TAutoRef CreateOleObject(const QString& ProgId);
// The running instance; EOleSysError "Operation unavailable" when none runs.
TAutoRef GetActiveOleObject(const QString& ProgId);

// The object a member answered, or EOleError when it answered none.
TAutoRef OleObject(const TOleVariant& v, const QString& Member);
