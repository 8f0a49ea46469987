// vexo-sign: makes the Ed25519 key pair of program updates and signs update packages.
//   vexo-sign keygen <public-file> <secret-file>   writes the two keys as hex text
//   vexo-sign sign <secret-file> <file>            writes <file>.sig, the 64-byte detached signature
// A package holds its version in a VERSION entry at its top, which the signature covers; sign
// refuses a package without one, since the updater refuses it too. The updater carries the
// public key compiled in; the secret key never leaves the operator.
#include "updateversion.h"

#include "components/net/package.h"

#include <sodium.h>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

int Fail(const std::string& message)
{
    std::fprintf(stderr, "vexo-sign: %s\n", message.c_str());
    return 1;
}

bool ReadFile(const std::string& path, std::vector<unsigned char>* bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

// Makes a new file with its mode from the start, never through a link and never over an
// existing file; a file that cannot be written whole is removed.
bool CreateFile(const std::string& path, const void* data, size_t size, mode_t mode)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    if (fd < 0)
        return false;
    const auto* bytes = static_cast<const char*>(data);
    size_t written = 0;
    while (written < size) {
        const ssize_t n = ::write(fd, bytes + written, size - written);
        if (n <= 0)
            break;
        written += size_t(n);
    }
    const bool whole = written == size && ::fsync(fd) == 0;
    if (::close(fd) != 0 || !whole) {
        ::unlink(path.c_str());
        return false;
    }
    return true;
}

// Replaces a file through a new temporary one, so it is either whole or as it was.
bool ReplaceFile(const std::string& path, const void* data, size_t size, mode_t mode)
{
    const std::string temporary = path + ".tmp";
    ::unlink(temporary.c_str());   // a leftover; a link there is removed, not followed
    if (!CreateFile(temporary, data, size, mode))
        return false;
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

std::string Hex(const unsigned char* bytes, size_t size)
{
    std::string hex(size * 2 + 1, '\0');
    sodium_bin2hex(hex.data(), hex.size(), bytes, size);
    hex.back() = '\n';
    return hex;
}

int KeyGen(const std::string& publicFile, const std::string& secretFile)
{
    unsigned char pk[crypto_sign_PUBLICKEYBYTES];
    unsigned char sk[crypto_sign_SECRETKEYBYTES];
    crypto_sign_keypair(pk, sk);
    std::string secret = Hex(sk, sizeof sk);
    const std::string pub = Hex(pk, sizeof pk);
    sodium_memzero(sk, sizeof sk);
    // Private from its first byte: made with mode 0600, not narrowed afterwards. An existing key
    // file (or a link in its place) is never written: packages signed with that key would stop
    // verifying.
    const auto refused = [](const std::string& path) {
        return Fail(errno == EEXIST ? path + " already exists; remove both key files to make a new pair"
                                    : "cannot make " + path);
    };
    const bool secretMade = CreateFile(secretFile, secret.data(), secret.size(), 0600);
    sodium_memzero(secret.data(), secret.size());
    if (!secretMade)
        return refused(secretFile);
    if (!CreateFile(publicFile, pub.data(), pub.size(), 0644)) {
        const int error = errno;
        ::unlink(secretFile.c_str());
        errno = error;
        return refused(publicFile);
    }
    return 0;
}

int Sign(const std::string& secretFile, const std::string& file)
{
    std::vector<unsigned char> hex;
    if (!ReadFile(secretFile, &hex))
        return Fail("cannot read " + secretFile);
    unsigned char sk[crypto_sign_SECRETKEYBYTES];
    size_t length = 0;
    if (sodium_hex2bin(sk, sizeof sk, reinterpret_cast<const char*>(hex.data()), hex.size(), " \r\n", &length, nullptr)
            != 0
        || length != sizeof sk)
        return Fail(secretFile + " is not a secret key (" + std::to_string(2 * sizeof sk) + " hex characters)");
    std::vector<unsigned char> data;
    if (!ReadFile(file, &data))
        return Fail("cannot read " + file);
    PackageLimits limits;
    limits.folders = true;
    limits.maxEntries = 4096;
    limits.maxEntryBytes = 64 * 1024 * 1024;
    limits.maxTotalBytes = 64 * 1024 * 1024;
    const Package package = ReadPackage(QByteArray(reinterpret_cast<const char*>(data.data()), qsizetype(data.size())),
                                        limits);
    if (!package.ok)
        return Fail(file + " is not an update package: " + package.error.toStdString());
    const QVersionNumber version = PackageVersion(package.entries);
    if (version.isNull())
        return Fail(file + " holds no VERSION entry (the version, e.g. 4.67, in a file VERSION at its top)");
    unsigned char signature[crypto_sign_BYTES];
    crypto_sign_detached(signature, nullptr, data.data(), data.size(), sk);
    sodium_memzero(sk, sizeof sk);
    if (!ReplaceFile(file + ".sig", signature, sizeof signature, 0644))
        return Fail("cannot write " + file + ".sig");
    std::printf("vexo-sign: signed %s, version %s\n", file.c_str(), qPrintable(version.toString()));
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (sodium_init() < 0)
        return Fail("libsodium cannot start");
    const std::string command = argc > 1 ? argv[1] : "";
    if (argc == 4 && command == "keygen")
        return KeyGen(argv[2], argv[3]);
    if (argc == 4 && command == "sign")
        return Sign(argv[2], argv[3]);
    std::fprintf(stderr, "usage: vexo-sign keygen <public-file> <secret-file>\n"
                         "       vexo-sign sign <secret-file> <file>   (writes <file>.sig; the package holds "
                         "VERSION)\n");
    return 2;
}
