#include <hostkit/Host.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace hostkit {

std::string FormatV(const char* format, va_list args)
{
    std::string text;
    if (!format)
        return text;
    va_list measure;
    va_copy(measure, args);
    const int needed = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (needed > 0) {
        text.resize(static_cast<size_t>(needed) + 1);
        std::vsnprintf(text.data(), text.size(), format, args);
        text.resize(static_cast<size_t>(needed));
    }
    return text;
}

void Logging::Log(int32_t level, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    lines.push_back({level, FormatV(format, args)});
    va_end(args);
    if (onLine)
        onLine(Line(lines.back()));  // a copy: the hook may log again
}

Host::Host() : m_root(ConfigSection::Make()), m_config(m_root.get()) {}

Host::~Host() = default;

void* Host::Query(const char* interfaceName)
{
    if (interfaceName && std::strcmp(interfaceName, "ILogging") == 0)
        return static_cast<ILogging*>(&logging);
    return nullptr;
}

int32_t Host::SaveConfig(int32_t how)
{
    saves.push_back(how);
    return onSave ? onSave(how) : 1;
}

}  // namespace hostkit
