// The factory that GetTinyFactory hands out: makes tool windows by name.
#pragma once

#include <brin/ITinyFactory.h>
#include <brin/Str.h>

class CTinyFactory : public brin::ITinyFactory {
public:
    void* Create(const char* name) override;
    void* Query(void* what) override;
    const char* GetName() override;

private:
    brin::Str<char> m_name;  // never assigned: the factory has no name
};
