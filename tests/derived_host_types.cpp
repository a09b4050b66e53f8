// Compiled with the public headers' strict warnings: a host's own classes derived from the host
// framework's types, declaring nothing but what a host would. Whatever warns here warns in every
// such host, at a line of our headers (GCC 13 and later: the derived class's implicit copy
// assignment hides the string's virtual operator=).
#include <brin/Str.h>

namespace {

class HostString : public brin::Str<char> {
public:
    using Str::Str;
    unsigned GetLength() const override { return Str::GetLength(); }
};

}  // namespace

// Used, so that the class is complete and its members are generated.
unsigned DerivedHostStringLength()
{
    HostString s("abc");
    HostString t;
    t = s;
    return t.GetLength();
}
