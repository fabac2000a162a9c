#pragma once
#include "discovery/BasicAccessRuntime.h"

// Access 2002 runtime: product {901C0409-6000-11D3-8CFE-0050048383C9}.
class AccessRuntime2002 : public BasicAccessRuntime {
public:
    using BasicAccessRuntime::BasicAccessRuntime;
    std::string packedComponentCode() const override { return "769E92CC2CB71D119A12000A9CE1A23A"; }
    std::string packedProductCode() const override { return "9040C10900063D11C8EF00054038389C"; }
};
