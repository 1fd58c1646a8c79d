// TComponent: a named part of a form with a class name, owned by its form in
// creation order. Form translation walks the owned components and decides by
// the exact class name, so every concrete class passes its own name up and a
// descendant that passes another name is told apart from its base.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace widgets {

class TComponent {
public:
    TComponent(std::wstring name, std::string className)
        : name_(std::move(name)), className_(std::move(className)) {}
    virtual ~TComponent() = default;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    const std::wstring& Name() const noexcept { return name_; }
    const std::string& ClassName() const noexcept { return className_; }

    // Owned components, in creation order.
    int ComponentCount() const noexcept { return static_cast<int>(components_.size()); }
    TComponent* Components(int index) const { return components_.at(index).get(); }

    // The text a user reads on the component; empty for components without one.
    virtual std::wstring Caption() const { return {}; }
    virtual void SetCaption(const std::wstring&) {}

    // A timer message with this id reached the owning form: the component
    // whose timer it is handles it and returns true; every other declines.
    virtual bool TimerFired(std::uintptr_t /*timerId*/) { return false; }

    // Takes ownership of a new component and returns it.
    template <class T>
    T* InsertComponent(std::unique_ptr<T> component) {
        T* raw = component.get();
        components_.push_back(std::move(component));
        return raw;
    }

private:
    std::wstring name_;
    std::string className_;
    std::vector<std::unique_ptr<TComponent>> components_;
};

}  // namespace widgets
