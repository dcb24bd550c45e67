#pragma once

namespace vx {

class Program;

// A program-wide reference to a form. Using it loads the form (and runs its Form_Load) when it is
// not loaded; Unload runs its Form_Unload and destroys it, so the next use creates a fresh form.
// FormRef.cpp makes it for each of the four forms.
template <class F> class FormRef {
public:
    explicit FormRef(Program& program) : program_(program) {}
    FormRef(const FormRef&) = delete;
    FormRef& operator=(const FormRef&) = delete;

    F& operator*() { return get(); }
    F* operator->() { return &get(); }
    F& get();

    // The form when it is loaded, without loading it.
    F* loaded() const { return form_; }
    bool isLoaded() const { return form_ != nullptr; }

    void Load() { get(); }
    void Unload();

private:
    Program& program_;
    F* form_ = nullptr;
    bool unloading_ = false;
};

} // namespace vx
