#pragma once
// A replaceable function that one thread may set while others call it: tests
// and the controls layer install hooks at run time, and a call in progress
// keeps the hook it started with.
#include <functional>
#include <memory>
#include <mutex>

template <class Signature>
class THook {
public:
    using Function = std::function<Signature>;

    void Set(Function fn)
    {
        std::shared_ptr<const Function> p;
        if (fn)
            p = std::make_shared<const Function>(std::move(fn));
        std::lock_guard<std::mutex> g(FLock);
        FFunction = std::move(p);
    }

    // The hook in force, or nullptr.
    std::shared_ptr<const Function> Get() const
    {
        std::lock_guard<std::mutex> g(FLock);
        return FFunction;
    }

private:
    mutable std::mutex FLock;
    std::shared_ptr<const Function> FFunction;
};
