#include "support/TestCertificate.h"

#include "support/ChildProcess.h"

#include "platform/core/FileManager.h"

namespace {

constexpr double kOpensslLimitSeconds = 30;

bool runShell(const std::string& command, const std::string& outputPath)
{
    ChildProcess shell;
    return shell.start({"/bin/sh", "-c", command}, outputPath) && shell.waitForExit(kOpensslLimitSeconds) == 0;
}

} // namespace

bool TestCertificate::make(const std::string& folder)
{
    m_certificate = folder + "/cert.pem";
    m_key = folder + "/key.pem";
    std::string fingerprintPath = folder + "/fingerprint.txt";
    // An EC key: made in milliseconds, where RSA takes a tenth of a second.
    bool made = runShell("openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2"
                         " -subj /CN=127.0.0.1 -keyout '"
                             + m_key + "' -out '" + m_certificate + "'",
                         {})
        && runShell("openssl x509 -in '" + m_certificate
                        + "' -pubkey -noout | openssl pkey -pubin -outform der"
                          " | openssl dgst -sha256 -binary | openssl base64 -A",
                    fingerprintPath);
    auto fingerprint = core::FileManager::contentsAtPath(fingerprintPath);
    if (!made || !fingerprint || fingerprint->empty())
        return false;
    m_fingerprint = "SHA256:" + *fingerprint;
    return true;
}
