// Boxed<T>: a Python object that owns one C++ value.
//
// Each exposed class stores its value in a Boxed<T>; PyClass<T>::type is the
// class's type object, set once when the class is created. The borrow count
// guards values that a lock-releasing call may hold: readers take shared
// access, the few writers exclusive access, and a conflict raises
// RuntimeError ("Already mutably borrowed" / "Already borrowed").
#pragma once

#include <new>
#include <utility>

#include "python/python.hpp"

namespace skyloam::py {

template <class T>
struct PyClass {
  static inline PyTypeObject* type = nullptr;
};

template <class T>
struct Boxed {
  PyObject_HEAD
  int borrow;  // > 0: shared holders, -1: exclusive holder
  T value;
};

template <class T>
Boxed<T>* unbox(PyObject* object) {
  return reinterpret_cast<Boxed<T>*>(object);
}

template <class T>
T& value_of(PyObject* object) {
  return unbox<T>(object)->value;
}

// A new instance of T's class holding `value`, or nullptr with an exception.
template <class T>
PyObject* box(T value, PyTypeObject* type = PyClass<T>::type) {
  PyObject* object = type->tp_alloc(type, 0);
  if (object == nullptr) return nullptr;
  Boxed<T>* boxed = unbox<T>(object);
  boxed->borrow = 0;
  new (&boxed->value) T(std::move(value));
  return object;
}

template <class T>
void dealloc_boxed(PyObject* object) {
  PyTypeObject* type = Py_TYPE(object);
  unbox<T>(object)->value.~T();
  type->tp_free(object);
  Py_DECREF(type);
}

class Borrow {
 public:
  Borrow() = default;
  Borrow(const Borrow&) = delete;
  Borrow& operator=(const Borrow&) = delete;
  ~Borrow() {
    if (flag_ != nullptr) *flag_ = exclusive_ ? 0 : *flag_ - 1;
  }

  // False with RuntimeError set on a conflict.
  template <class T>
  bool shared(PyObject* object) {
    return take(&unbox<T>(object)->borrow, false);
  }
  template <class T>
  bool exclusive(PyObject* object) {
    return take(&unbox<T>(object)->borrow, true);
  }

 private:
  bool take(int* flag, bool exclusive);
  int* flag_ = nullptr;
  bool exclusive_ = false;
};

}  // namespace skyloam::py
