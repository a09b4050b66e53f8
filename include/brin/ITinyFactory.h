// The factory handed out by the module's only export, GetTinyFactory.
#pragma once

namespace brin {

class ITinyFactory {
public:
    // The named window's interface with one reference for the caller, or null. The caller
    // knows from the name which interface it is (see toolwindows/*.h).
    virtual void* Create(const char* name) = 0;  // 0
    virtual void* Query(void* what) = 0;         // 1: always 0
    virtual const char* GetName() = 0;           // 2: always null

protected:
    ~ITinyFactory() = default;
};

}  // namespace brin

// The export: extern "C", undecorated, the module's only one.
extern "C" {
typedef brin::ITinyFactory* (*GetTinyFactoryFn)();
}
