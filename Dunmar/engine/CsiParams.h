#pragma once

#include <array>
#include <cstdint>
#include <span>

// The parameters of one control sequence, collected without allocation. Hostile input cannot make
// them grow or overflow: at most kMaxParams parameters and kMaxSubValues colon values are kept
// (later ones are ignored, as in xterm), digits are folded into the value as they arrive, a value
// too large for 64 bits reads as 0, and any other value is saturated at kMaxValue, so that every
// handler can add and subtract parameters in 64 bits without overflow.
class CsiParams {
public:
    static constexpr std::size_t kMaxParams = 32;
    static constexpr std::size_t kMaxSubValues = 64;
    static constexpr std::int64_t kMaxValue = 0x7FFFFFFF;

    // Parameter i; 0 when absent (an omitted parameter is 0 as well).
    std::int64_t operator[](std::size_t i) const { return i < count_ ? values_[i] : 0; }
    std::size_t size() const { return count_; }
    bool empty() const { return count_ == 0; }
    // The colon group of parameter i, its first value included; empty for a plain parameter.
    std::span<const std::int64_t> sub(std::size_t i) const {
        if (i >= count_) return {};
        return {subValues_.data() + subStart_[i], subCount_[i]};
    }

    // Collection, driven by the parser.
    void clear();
    void digit(int d);
    void colon();                                  // ends one value of a colon group
    void endParam();                               // ";" or the final byte
    bool collecting() const { return hasDigits_; } // digits seen for the parameter being collected

    // For handlers and tests that build a list by hand.
    void push(std::int64_t value);

private:
    std::int64_t takeCurrent();

    std::array<std::int64_t, kMaxParams> values_{};
    std::array<std::uint8_t, kMaxParams> subStart_{};
    std::array<std::uint8_t, kMaxParams> subCount_{};
    std::array<std::int64_t, kMaxSubValues> subValues_{};
    std::uint8_t count_ = 0;
    std::uint8_t subTotal_ = 0;
    // The parameter being collected.
    std::int64_t cur_ = 0;
    bool hasDigits_ = false;
    bool overflow_ = false;
    std::uint8_t groupStart_ = 0;
    std::uint8_t groupCount_ = 0; // values of the colon group collected so far (0 = no colon yet)
};
