// vexo-sign: makes the Ed25519 key pair of program updates and signs update packages.
//   vexo-sign keygen <public-file> <secret-file>   writes the two keys as hex text
//   vexo-sign sign <secret-file> <file>            writes <file>.sig, the 64-byte detached signature
// The updater carries the public key compiled in; the secret key never leaves the operator.
#include <sodium.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

int Fail(const std::string& message)
{
    std::fprintf(stderr, "vexo-sign: %s\n", message.c_str());
    return 1;
}

bool Exists(const std::string& path)
{
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

bool ReadFile(const std::string& path, std::vector<unsigned char>* bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

// Writes through a temporary name, so a file is either whole or absent.
bool WriteFile(const std::string& path, const void* data, size_t size, mode_t mode)
{
    const std::string temporary = path + ".tmp";
    std::FILE* out = std::fopen(temporary.c_str(), "wb");
    if (!out)
        return false;
    const bool written = std::fwrite(data, 1, size, out) == size;
    if (std::fclose(out) != 0 || !written || ::chmod(temporary.c_str(), mode) != 0
        || std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
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
    // An existing secret key is never overwritten: packages signed with it would stop verifying.
    for (const std::string& path : {publicFile, secretFile})
        if (Exists(path))
            return Fail(path + " already exists; remove both key files to make a new pair");
    unsigned char pk[crypto_sign_PUBLICKEYBYTES];
    unsigned char sk[crypto_sign_SECRETKEYBYTES];
    crypto_sign_keypair(pk, sk);
    const std::string secret = Hex(sk, sizeof sk);
    const std::string pub = Hex(pk, sizeof pk);
    sodium_memzero(sk, sizeof sk);
    if (!WriteFile(secretFile, secret.data(), secret.size(), 0600))
        return Fail("cannot write " + secretFile);
    if (!WriteFile(publicFile, pub.data(), pub.size(), 0644))
        return Fail("cannot write " + publicFile);
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
    unsigned char signature[crypto_sign_BYTES];
    crypto_sign_detached(signature, nullptr, data.data(), data.size(), sk);
    sodium_memzero(sk, sizeof sk);
    if (!WriteFile(file + ".sig", signature, sizeof signature, 0644))
        return Fail("cannot write " + file + ".sig");
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
                         "       vexo-sign sign <secret-file> <file>   (writes <file>.sig)\n");
    return 2;
}
