#pragma once
#include "discovery/BasicAccessRuntime.h"

// Access 2003 runtime: product {901C0409-6000-11D3-8CFE-0150048383C9}.
class AccessRuntime2003 : public BasicAccessRuntime {
public:
    using BasicAccessRuntime::BasicAccessRuntime;
    std::string packedComponentCode() const override { return "8F287D2F41B64AF4F8AB65C5DD9B2B8A"; }
    std::string packedProductCode() const override { return "9040C10900063D11C8EF10054038389C"; }
};
