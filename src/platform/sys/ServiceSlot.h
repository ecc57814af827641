#pragma once
// The one instance of a system service that the program uses: the real one
// made on first use, or the stand-in a test has put in its place.
#include <memory>
#include <utility>

namespace Sys {

template <class Service, class Real>
class ServiceSlot {
public:
    Service& Get()
    {
        if (!FService)
            FService = std::make_unique<Real>();
        return *FService;
    }
    // Null puts the real service back on the next use.
    void Set(std::unique_ptr<Service> p) { FService = std::move(p); }

private:
    std::unique_ptr<Service> FService;
};

} // namespace Sys
