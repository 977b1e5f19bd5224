#pragma once
// Sets one environment variable for a test and restores it afterwards.

#include <QByteArray>
#include <QtGlobal>

#include <string>

namespace bv::gui::test {

class ScopedEnvQt {
public:
    ScopedEnvQt(const char* name, const std::string& value)
        : FName(name)
        , FHad(qEnvironmentVariableIsSet(name))
    {
        FOld = qgetenv(name);
        qputenv(name, QByteArray::fromStdString(value));
    }
    ~ScopedEnvQt()
    {
        if (FHad)
            qputenv(FName, FOld);
        else
            qunsetenv(FName);
    }
    ScopedEnvQt(const ScopedEnvQt&) = delete;
    ScopedEnvQt& operator=(const ScopedEnvQt&) = delete;

private:
    const char* FName;
    bool FHad;
    QByteArray FOld;
};

} // namespace bv::gui::test
