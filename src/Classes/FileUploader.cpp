#include "Classes/FileUploader.h"

#include "Classes/AppContext.h"
#include "Classes/PlistController.h"
#include "Classes/TrustedKeys.h"

#include "platform/core/Log.h"
#include "platform/core/Paths.h"
#include "platform/net/FileUpload.h"
#include "platform/net/NetworkConnections.h"

#include <filesystem>
#include <utility>

namespace {

// The private key ssh would offer first, of those there are.
std::string sshPrivateKey()
{
    for (const char* name : {"id_ed25519", "id_ecdsa", "id_rsa"}) {
        std::string path = core::Paths::sshDirectory() + "/" + name;
        std::error_code error;
        if (std::filesystem::is_regular_file(path, error))
            return path;
    }
    return {};
}

} // namespace

std::shared_ptr<FileUploader> FileUploader::create(AppContext& context, std::string name, net::ServerAddress address,
                                                   std::string user, std::string password, std::string trustedKey)
{
    return std::shared_ptr<FileUploader>(new FileUploader(context, std::move(name), std::move(address), std::move(user),
                                                          std::move(password), std::move(trustedKey)));
}

FileUploader::FileUploader(AppContext& context, std::string name, net::ServerAddress address, std::string user,
                           std::string password, std::string trustedKey)
    : m_context(context)
    , m_name(std::move(name))
    , m_address(std::move(address))
    , m_user(std::move(user))
    , m_password(std::move(password))
    , m_trustedKey(std::move(trustedKey))
{
    m_report.server = m_address.server();
    m_report.folder = m_address.folder;
    m_report.inClear = m_address.isPlainHttp();
}

FileUploader::~FileUploader() = default;

bool FileUploader::start()
{
    auto localPath = PlistController::audioFilePath(m_name);
    if (!localPath)
        return false;
    std::string file = m_name.substr(std::min(m_name.find_first_not_of('/'), m_name.size()));
    std::string trusted = m_trustedKey.empty() ? TrustedKeys(m_context.defaults()).keyFor(m_address) : m_trustedKey;
    m_upload = std::make_unique<net::FileUpload>(
        net::FileUpload::Request{m_address, *localPath, file, m_user, m_password,
                                 core::Paths::sshDirectory() + "/known_hosts", sshPrivateKey(), trusted},
        m_context.network().curl());
    if (!m_upload->start([this] { transferring(); }, [this] { finished(); }))
        return false;
    holdItself();
    return true;
}

void FileUploader::finished()
{
    const auto& result = m_upload->result();
    // The key the person chose let the upload through: it is the server's now.
    if (!m_trustedKey.empty() && result.trustedKeyAccepted)
        TrustedKeys(m_context.defaults()).trust(m_address, m_trustedKey);
    m_report.storedName = result.storedName;
    m_report.presentedKey = result.presentedKey;
    m_report.keyType = result.keyType;
    if (!result.error)
        return sent();
    fail(*result.error);
}
