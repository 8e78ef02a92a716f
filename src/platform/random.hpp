#pragma once

namespace orvane {

class Random {
public:
    virtual ~Random() = default;
    // A new seed from a high-resolution clock.
    virtual void reseed() = 0;
    // A uniform integer in 0 .. n - 1, for n of 1 or more.
    virtual int below(int n) = 0;
};

}  // namespace orvane
