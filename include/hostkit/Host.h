// A host object for host programs and tests: its logging service, its configuration root and a
// save hook, with counted references. Neither object frees itself: the program owns them, and
// their counts show whether every reference a window took was given back.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <brin/IHost.h>

#include "ConfigSection.h"

namespace hostkit {

// A printf-style message formatted whole, however long; a null format gives an empty text.
std::string FormatV(const char* format, va_list args);

class Logging final : public ILogging {
public:
    struct Line {
        int32_t level;
        std::string text;
    };

    void AddRef() override { ++m_refCount; }
    void Release() override { --m_refCount; }
    // Formats the whole message, however long. A null format logs an empty line.
    void Log(int32_t level, const char* format, ...) override;

    int32_t RefCount() const { return m_refCount; }
    std::vector<Line> lines;
    std::function<void(const Line&)> onLine;  // e.g. to echo lines as they come

private:
    int32_t m_refCount = 1;
};

class Host final : public IHost {
public:
    Host();  // with an empty root section
    ~Host();
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    void AddRef() override { ++m_refCount; }
    void Release() override { --m_refCount; }
    void* Query(const char* interfaceName) override;  // "ILogging": the logging service
    // Counts the call, then answers what onSave answers: 0 saved, non-zero not saved. Without
    // onSave nothing is saved, and it says so (1).
    int32_t SaveConfig(int32_t how) override;
    brin::ConfigNode* GetConfig() override { return m_config.get(); }

    int32_t RefCount() const { return m_refCount; }
    ConfigSection* Root() { return m_root.get(); }
    // A new root (a loaded file, say); GetConfig answers it from then on.
    void SetRoot(ConfigSection* root)
    {
        m_root = root;
        m_config = root;
    }
    // What GetConfig answers: the root by default; another node, or null, for tests.
    void SetConfig(brin::ConfigNode* node) { m_config = node; }

    Logging logging;
    std::function<int32_t(int32_t how)> onSave;  // 0 when the configuration was written
    std::vector<int32_t> saves;                  // the argument of every SaveConfig

private:
    int32_t m_refCount = 1;
    brin::CountedRef<ConfigSection> m_root;
    brin::CountedRef<brin::ConfigNode> m_config;
};

}  // namespace hostkit
