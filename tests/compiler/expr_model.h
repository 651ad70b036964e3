// A host model of the target's C integer arithmetic (16-bit int, 32-bit
// long, two's complement, arithmetic right shift) and a generator of random
// expressions with the value and type the model gives them. The constant
// folding test uses it with constant leaves; the compiled-program test
// supplies leaves that are objects set at run time.
#pragma once

#include <cstdint>
#include <random>
#include <string>

namespace zun::tcx::model {

enum class T { Int, UInt, Long, ULong, Char, UChar };

struct Val {
    T type;
    int64_t v;  // the value as the type holds it
};

inline int64_t wrap(T t, int64_t v) {
    switch (t) {
    case T::Char: return static_cast<int8_t>(v);
    case T::UChar: return static_cast<uint8_t>(v);
    case T::Int: return static_cast<int16_t>(v);
    case T::UInt: return static_cast<uint16_t>(v);
    case T::Long: return static_cast<int32_t>(v);
    case T::ULong: return static_cast<uint32_t>(v);
    }
    return v;
}

inline T promote(T t) { return t == T::Char || t == T::UChar ? T::Int : t; }

inline T usual(T a, T b) {
    a = promote(a);
    b = promote(b);
    if (a == T::ULong || b == T::ULong) return T::ULong;
    if (a == T::Long || b == T::Long) return T::Long;  // long holds every unsigned int
    if (a == T::UInt || b == T::UInt) return T::UInt;
    return T::Int;
}

inline int width(T t) { return t == T::Long || t == T::ULong ? 32 : 16; }

inline bool is_unsigned(T t) { return t == T::UInt || t == T::ULong || t == T::UChar; }

inline int size_of(T t) {
    switch (t) {
    case T::Char: case T::UChar: return 1;
    case T::Int: case T::UInt: return 2;
    default: return 4;
    }
}

// Binary operators in the generator's numbering.
inline constexpr const char* binary_ops[] = {"+", "-", "*", "/", "%", "<<", ">>", "&", "|", "^",
                                             "==", "!=", "<", "<=", ">", ">=", "&&", "||"};

// The value of x op y (op indexes binary_ops). Returns false for a form the
// model leaves out: division by zero and shift counts outside 0..width-1,
// unless 'defined' asks for the compiler's own rules there (a zero divisor
// gives all one bits and leaves the dividend as the remainder; counts of the
// width or more shift every bit out). 0 / 0 stays out even then: a zero
// dividend may be simplified to 0 before anything divides.
inline bool binary(int op, Val x, Val y, Val& val, bool defined = false) {
    T t = usual(x.type, y.type);
    int64_t l = wrap(t, x.v), r = wrap(t, y.v);
    switch (op) {
    case 0: val = {t, wrap(t, l + r)}; break;
    case 1: val = {t, wrap(t, l - r)}; break;
    case 2: val = {t, wrap(t, static_cast<int64_t>(static_cast<uint64_t>(l) * static_cast<uint64_t>(r)))}; break;
    case 3: case 4:
        if (r == 0) {
            if (!defined || (op == 3 && l == 0)) return false;
            val = {t, op == 3 ? wrap(t, -1) : l};
            break;
        }
        val = {t, wrap(t, op == 3 ? l / r : l % r)};
        break;
    case 5: case 6: {
        T lt = promote(x.type);
        int64_t lv = wrap(lt, x.v);
        if (y.v < 0) return false;
        if (y.v >= width(lt)) {
            if (!defined) return false;
            val = {lt, op == 5 || lv >= 0 ? 0 : wrap(lt, -1)};
            break;
        }
        uint64_t bits = static_cast<uint64_t>(lv);
        val = {lt, wrap(lt, op == 5 ? static_cast<int64_t>(bits << y.v) : lv >> y.v)};
        break;
    }
    case 7: val = {t, wrap(t, l & r)}; break;
    case 8: val = {t, wrap(t, l | r)}; break;
    case 9: val = {t, wrap(t, l ^ r)}; break;
    case 10: val = {T::Int, l == r}; break;
    case 11: val = {T::Int, l != r}; break;
    case 12: val = {T::Int, l < r}; break;
    case 13: val = {T::Int, l <= r}; break;
    case 14: val = {T::Int, l > r}; break;
    case 15: val = {T::Int, l >= r}; break;
    case 16: val = {T::Int, x.v && y.v}; break;
    default: val = {T::Int, x.v || y.v}; break;
    }
    return true;
}

inline const char* type_name(T t) {
    static const char* names[] = {"int", "unsigned", "long", "unsigned long", "char", "unsigned char"};
    return names[static_cast<int>(t)];
}

struct Gen {
    std::mt19937 rng;
    bool defined = false;  // model division by zero and wide shift counts (see binary)
    explicit Gen(unsigned seed) : rng(seed) {}
    virtual ~Gen() = default;
    int pick(int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); }

    // A constant of type int, unsigned, long or unsigned long.
    virtual bool leaf(std::string& text, Val& val) {
        switch (pick(4)) {
        case 0: {
            int v = pick(3) ? pick(100) : pick(32768);
            text = std::to_string(v);
            val = {T::Int, v};
            break;
        }
        case 1: {
            int v = pick(65536);
            text = std::to_string(v) + "u";
            val = {T::UInt, v};
            break;
        }
        case 2: {
            int64_t v = pick(2) ? pick(1000) : static_cast<int64_t>(rng() & 0x7FFFFFFF);
            text = std::to_string(v) + "L";
            val = {T::Long, v};
            break;
        }
        default: {
            int64_t v = pick(2) ? pick(1000) : static_cast<int64_t>(rng());
            text = std::to_string(v) + "UL";
            val = {T::ULong, v};
            break;
        }
        }
        return true;
    }

    // Returns false when the expression holds a form the model leaves out.
    bool expr(int depth, std::string& text, Val& val) {
        if (depth == 0 || pick(4) == 0) return leaf(text, val);
        int kind = pick(10);
        if (kind == 0) {  // unary
            std::string a;
            Val x;
            if (!expr(depth - 1, a, x)) return false;
            T t = promote(x.type);
            switch (pick(3)) {
            case 0: text = "-(" + a + ")"; val = {t, wrap(t, -x.v)}; break;
            case 1: text = "~(" + a + ")"; val = {t, wrap(t, ~x.v)}; break;
            default: text = "!(" + a + ")"; val = {T::Int, x.v == 0}; break;
            }
            return true;
        }
        if (kind == 1) {  // cast
            std::string a;
            Val x;
            if (!expr(depth - 1, a, x)) return false;
            int c = pick(6);
            T t = static_cast<T>(c);
            text = std::string("(") + type_name(t) + ")(" + a + ")";
            val = {t, wrap(t, x.v)};
            return true;
        }
        if (kind == 2) {  // conditional
            std::string c, a, b;
            Val vc, va, vb;
            if (!expr(depth - 1, c, vc) || !expr(depth - 1, a, va) || !expr(depth - 1, b, vb)) return false;
            T t = usual(va.type, vb.type);
            text = "(" + c + ") ? (" + a + ") : (" + b + ")";
            val = {t, wrap(t, vc.v ? va.v : vb.v)};
            return true;
        }
        std::string a, b;
        Val x, y;
        if (!expr(depth - 1, a, x) || !expr(depth - 1, b, y)) return false;
        int op = pick(18);
        text = "(" + a + ") " + binary_ops[op] + " (" + b + ")";
        return binary(op, x, y, val, defined);
    }
};

}  // namespace zun::tcx::model
