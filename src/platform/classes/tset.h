#pragma once
// TSet<E>: a set of enumeration values, stored as bits by ordinal (up to 64 values). Its
// ordinal value, as reflection and component text see it, is the bit mask.
#include <QtCore/QtGlobal>

#include <initializer_list>

template <class E>
class TSet {
 public:
  constexpr TSet() = default;
  constexpr TSet(std::initializer_list<E> values) {
    for (E v : values) bits_ |= Bit(v);
  }
  static constexpr TSet FromOrd(quint64 bits) {
    TSet s;
    s.bits_ = bits;
    return s;
  }
  constexpr quint64 Ord() const { return bits_; }

  constexpr bool Contains(E v) const { return (bits_ & Bit(v)) != 0; }
  constexpr bool Empty() const { return bits_ == 0; }
  constexpr TSet& Include(E v) {
    bits_ |= Bit(v);
    return *this;
  }
  constexpr TSet& Exclude(E v) {
    bits_ &= ~Bit(v);
    return *this;
  }

  friend constexpr TSet operator+(TSet a, TSet b) { return FromOrd(a.bits_ | b.bits_); }
  friend constexpr TSet operator-(TSet a, TSet b) { return FromOrd(a.bits_ & ~b.bits_); }
  friend constexpr TSet operator*(TSet a, TSet b) { return FromOrd(a.bits_ & b.bits_); }
  friend constexpr bool operator==(TSet a, TSet b) { return a.bits_ == b.bits_; }
  constexpr TSet& operator+=(TSet b) {
    bits_ |= b.bits_;
    return *this;
  }
  constexpr TSet& operator-=(TSet b) {
    bits_ &= ~b.bits_;
    return *this;
  }

 private:
  static constexpr quint64 Bit(E v) { return quint64(1) << unsigned(v); }
  quint64 bits_ = 0;
};
