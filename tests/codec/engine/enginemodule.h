#pragma once
// The codec engine module opened from the build folder, for tests.

#include <QString>

class EngineModule
{
public:
    EngineModule();
    ~EngineModule();
    EngineModule(const EngineModule&) = delete;
    EngineModule& operator=(const EngineModule&) = delete;

    bool loaded() const { return m_handle != nullptr; }
    QString error() const { return m_error; }

    template <typename Fn>
    Fn entry(const char* name) const
    {
        return reinterpret_cast<Fn>(symbol(name));
    }

private:
    void* symbol(const char* name) const;

    void* m_handle = nullptr;
    QString m_error;
};
