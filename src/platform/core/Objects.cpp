#include "platform/core/Objects.h"

#include "platform/core/Exceptions.h"

#include <map>
#include <mutex>

namespace {
struct Registry {
    std::mutex lock;
    // Keyed by the upper-case name; entries stay where they are while others
    // come and go, so handed-out pointers stay valid.
    std::map<QString, std::unique_ptr<TClassInfo>> classes;
};

Registry& registry()
{
    static Registry r;
    return r;
}
} // namespace

void RegisterClass(const QString& name, std::function<TObject*()> factory)
{
    Registry& r = registry();
    std::lock_guard<std::mutex> g(r.lock);
    const QString key = name.toUpper();
    if (r.classes.find(key) == r.classes.end())
        r.classes.emplace(key, std::make_unique<TClassInfo>(TClassInfo{name, std::move(factory)}));
}

void UnRegisterClass(const QString& name)
{
    Registry& r = registry();
    std::lock_guard<std::mutex> g(r.lock);
    r.classes.erase(name.toUpper());
}

const TClassInfo* GetClass(const QString& name)
{
    Registry& r = registry();
    std::lock_guard<std::mutex> g(r.lock);
    const auto it = r.classes.find(name.toUpper());
    return it == r.classes.end() ? nullptr : it->second.get();
}

const TClassInfo& FindClass(const QString& name)
{
    const TClassInfo* info = GetClass(name);
    if (!info)
        throw EClassNotFound(QStringLiteral("Class %1 not found").arg(name));
    return *info;
}

void TPersistent::Assign(const TPersistent* source)
{
    if (source) {
        source->AssignTo(this);
        return;
    }
    AssignError(nullptr);
}

void TPersistent::AssignTo(TPersistent* dest) const
{
    dest->AssignError(this);
}

void TPersistent::AssignError(const TPersistent* source) const
{
    const QString sourceName = source ? source->ClassName() : QStringLiteral("nil");
    throw EConvertError(QStringLiteral("Cannot assign a %1 to a %2").arg(sourceName, ClassName()));
}

QString TPersistent::GetNamePath() const
{
    return ClassName();
}
