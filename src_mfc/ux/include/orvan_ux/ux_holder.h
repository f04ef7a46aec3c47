// Owning holder of one control, kept as a member of the screen that created the control; the
// object list refers to holders and never owns controls.
#pragma once

#include <memory>

#include "orvan_ux/ux_object.h"

namespace ORVAN_UXClass {

class ORVAN_UXObjectjList;

// A holder that is refilled, emptied or destroyed while registered tells the list, so the list
// never reaches a deleted control.
class ORVAN_UXHolderBase {
  public:
    ORVAN_UXHolderBase() = default;
    // Leaves the list it is registered with, then deletes the control.
    virtual ~ORVAN_UXHolderBase();
    // The list keeps the holder's address, so holders stay where they are.
    ORVAN_UXHolderBase(const ORVAN_UXHolderBase&) = delete;
    ORVAN_UXHolderBase& operator=(const ORVAN_UXHolderBase&) = delete;

    ORVAN_UXObject* Object() const { return object_.get(); }
    explicit operator bool() const { return object_ != nullptr; }
    // Set once the holder has taken a control; stays set after the control is deleted, so an
    // emptied holder can be told from one that was never filled.
    bool owned() const { return owned_; }
    // Deletes the control (if any); the holder stays registered and is skipped while empty.
    void Reset();

  protected:
    // Deletes the previous control, then takes object.
    void StoreObject(std::unique_ptr<ORVAN_UXObject> object);

  private:
    friend class ORVAN_UXObjectjList;

    std::unique_ptr<ORVAN_UXObject> object_;
    bool owned_ = false;
    ORVAN_UXObjectjList* list_ = nullptr;  // the list that refers to this holder, if any
};

template <class T>
class ORVAN_UXHolder : public ORVAN_UXHolderBase {
  public:
    // Only Store puts objects in, so the stored object is always a T.
    T* get() const { return static_cast<T*>(Object()); }
    T* operator->() const { return get(); }
    T& operator*() const { return *get(); }
    void Store(std::unique_ptr<T> object) { StoreObject(std::move(object)); }
};

}  // namespace ORVAN_UXClass
