#pragma once
// The root of the class library's object model: run-time class names, a test
// for ancestry by name, a registry that creates objects from a class name, and
// TPersistent, the root of everything that can copy itself from another object.
#include <QString>

#include <functional>
#include <memory>
#include <utility>

// Declares a class's run-time identity: put it first in the class body with
// the class's own name and its direct base. It leaves the access at private.
#define KAL_CLASS(Name, Base)                                                          \
public:                                                                                \
    static QString StaticClassName() { return QStringLiteral(#Name); }                 \
    QString ClassName() const override { return QStringLiteral(#Name); }               \
    bool InheritsFrom(const QString& name) const override                             \
    {                                                                                  \
        return name.compare(QStringLiteral(#Name), Qt::CaseInsensitive) == 0 ||        \
               Base::InheritsFrom(name);                                               \
    }                                                                                  \
                                                                                       \
private:

class TObject;
// An event handler that only learns who raised it.
using TNotifyEvent = std::function<void(TObject* sender)>;

class TObject {
public:
    virtual ~TObject() = default;
    static QString StaticClassName() { return QStringLiteral("TObject"); }
    virtual QString ClassName() const { return QStringLiteral("TObject"); }
    // True for the object's own class and each of its ancestors (names compare
    // without case, as class names do).
    virtual bool InheritsFrom(const QString& name) const
    {
        return name.compare(QStringLiteral("TObject"), Qt::CaseInsensitive) == 0;
    }
    bool ClassNameIs(const QString& name) const
    {
        return ClassName().compare(name, Qt::CaseInsensitive) == 0;
    }

    // Steps run once the object is fully built and before it is torn down:
    // a C++ constructor cannot reach an override, so work that needs the
    // finished object goes here. NewObject and Free call them.
    virtual void AfterConstruction() {}
    virtual void BeforeDestruction() {}
    // BeforeDestruction, then delete.
    void Free()
    {
        BeforeDestruction();
        delete this;
    }
};

// Builds an object and runs its AfterConstruction step.
template <class T, class... Args>
T* NewObject(Args&&... args)
{
    T* obj = new T(std::forward<Args>(args)...);
    obj->AfterConstruction();
    return obj;
}

// Frees an object held in a pointer (nullptr is allowed) and clears the pointer.
template <class T>
void FreeAndNil(T*& obj)
{
    T* tmp = obj;
    obj = nullptr;
    if (tmp)
        tmp->Free();
}

// --- class registry -------------------------------------------------------

// A registered class: its name and how to make a new instance of it.
struct TClassInfo {
    QString Name;
    std::function<TObject*()> Create;
};

// Registers a class under its name; registering a name again replaces nothing
// and is allowed for the same class.
void RegisterClass(const QString& name, std::function<TObject*()> factory);
template <class T>
void RegisterClass()
{
    RegisterClass(T::StaticClassName(), [] { return static_cast<TObject*>(NewObject<T>()); });
}
void UnRegisterClass(const QString& name);
// The registered class, or nullptr.
const TClassInfo* GetClass(const QString& name);
// The registered class; raises EClassNotFound "Class <name> not found".
const TClassInfo& FindClass(const QString& name);

// --- TPersistent ------------------------------------------------------------

class TPersistent : public TObject {
    KAL_CLASS(TPersistent, TObject)
public:
    // Copies from source. The default asks the source to assign itself to this
    // object; when neither side knows the other, EConvertError "Cannot assign
    // a <source class> to a <this class>" is raised.
    virtual void Assign(const TPersistent* source);
    // The owner in the object tree; nullptr for a free object.
    virtual TPersistent* GetOwner() const { return nullptr; }
    // A dotted path of names up the owner chain, for messages.
    virtual QString GetNamePath() const;

protected:
    // The copy in the other direction; the default refuses.
    virtual void AssignTo(TPersistent* dest) const;
    [[noreturn]] void AssignError(const TPersistent* source) const;
};
