#pragma once

namespace platform {

// Global access to one of the platform's services, with a guard that puts a stand-in in its place
// for as long as the guard lives (tests record what the program asked for instead of starting
// programs or reading the real clock). Guards nest; the innermost wins.
template <class Service> class Seam {
public:
    static Service& get() { return current_ ? *current_ : Service::system(); }

    class Override {
    public:
        explicit Override(Service& standIn) : previous_(current_) { current_ = &standIn; }
        ~Override() { current_ = previous_; }
        Override(const Override&) = delete;
        Override& operator=(const Override&) = delete;

    private:
        Service* previous_;
    };

private:
    static inline Service* current_ = nullptr;
};

} // namespace platform
