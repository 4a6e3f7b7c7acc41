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
        if (i >= count_ || !hasGroups_) return {};
        return {subValues_.data() + subStart_[i], subCount_[i]};
    }

    // Collection, driven by the parser; digits and ";" come once per byte of every control
    // sequence, so they are inline.
    void clear() {
        count_ = 0;
        subTotal_ = 0;
        cur_ = 0;
        hasDigits_ = false;
        overflow_ = false;
        groupCount_ = 0;
        hasGroups_ = false;
    }
    void digit(int d) {
        hasDigits_ = true;
        // Below this no digit can overflow; the exact test is needed only near the limit.
        if (cur_ < kSafeBeforeDigit) {
            cur_ = cur_ * 10 + d;
        } else {
            digitNearLimit(d);
        }
    }
    // The run of ASCII digits from p on, folded into the parameter being collected as digit()
    // would; returns where the run ends. Kept in a local while it runs: the parser reads the
    // bytes through a pointer that the compiler must assume could alias the members.
    const std::uint8_t* digits(const std::uint8_t* p, const std::uint8_t* end) {
        std::int64_t cur = cur_;
        const std::uint8_t* const start = p;
        for (; p < end && unsigned(*p - '0') < 10; ++p) {
            const int d = *p - '0';
            if (cur < kSafeBeforeDigit) {
                cur = cur * 10 + d;
            } else {
                cur_ = cur;
                digitNearLimit(d);
                cur = cur_;
            }
        }
        cur_ = cur;
        if (p != start) hasDigits_ = true;
        return p;
    }
    void colon(); // ends one value of a colon group
    // ";" or the final byte.
    void endParam() {
        if (groupCount_ == 0) {
            push(takeCurrent());
        } else {
            endGroup();
        }
    }
    bool collecting() const { return hasDigits_; } // digits seen for the parameter being collected

    // A list of plain parameters (no colon groups) written in place: the parser fills the first
    // n entries of plainValues() and calls setPlain(n), which leaves what clear() followed by n
    // push() calls would. Until then the list reads as before (entries past size() are not shown).
    std::int64_t* plainValues() { return values_.data(); }
    void setPlain(std::size_t n) {
        clear();
        count_ = std::uint8_t(n);
    }

    // For handlers and tests that build a list by hand.
    void push(std::int64_t value) {
        if (count_ >= kMaxParams) return;
        values_[count_] = value;
        subStart_[count_] = subTotal_;
        subCount_[count_] = 0;
        ++count_;
    }

private:
    // (INT64_MAX - 9) / 10: cur_ * 10 + 9 still fits below this.
    static constexpr std::int64_t kSafeBeforeDigit = 922337203685477579;

    void digitNearLimit(int d);
    void endGroup();
    std::int64_t takeCurrent() {
        std::int64_t v = overflow_ ? 0 : (cur_ < kMaxValue ? cur_ : kMaxValue);
        cur_ = 0;
        hasDigits_ = false;
        overflow_ = false;
        return v;
    }

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
    bool hasGroups_ = false;      // any parameter is a colon group (sub() reads subStart_ and subCount_)
};
