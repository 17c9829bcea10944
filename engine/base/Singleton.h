#pragma once

#include <cassert>

namespace Fernhouse::Base
{

// The one live instance of an engine service. Constructing a T registers it, destroying it clears the
// slot; the creator (the application) owns the instance.
template <typename T> class Singleton
{
public:
    Singleton(const Singleton&) = delete;
    Singleton& operator=(const Singleton&) = delete;

    virtual ~Singleton() { s_instance = nullptr; }

    // Null while no instance exists.
    static T* getInstance() { return static_cast<T*>(s_instance); }

protected:
    Singleton()
    {
        assert(s_instance == nullptr && "a second live instance of a singleton");
        // Kept as the base pointer: the downcast happens in getInstance, once T is fully constructed.
        s_instance = this;
    }

private:
    static inline Singleton* s_instance = nullptr;
};

} // namespace Fernhouse::Base
