#include "files/content_hash.h"

#ifdef _WIN32
// Windows XP's own hashing (CryptoAPI, in advapi32, declared by windows.h): no library to carry.
#include <windows.h>
#else
#include <xxhash.h>
#endif

namespace quillon {
namespace {

std::string Hexadecimal(const unsigned char* bytes, std::size_t count) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(count * 2);
    for (std::size_t i = 0; i < count; ++i) {
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 0xF];
    }
    return text;
}

} // namespace

#ifdef _WIN32
struct ContentHash::State {
    HCRYPTPROV Provider = 0;
    HCRYPTHASH Hash = 0;
    bool Failed = false;
};

ContentHash::ContentHash() : state_(std::make_unique<State>()) {
    state_->Failed = !CryptAcquireContextA(&state_->Provider, nullptr, nullptr, PROV_RSA_FULL,
                                           CRYPT_VERIFYCONTEXT) ||
                     !CryptCreateHash(state_->Provider, CALG_MD5, 0, 0, &state_->Hash);
}

ContentHash::~ContentHash() {
    if (state_->Hash != 0) {
        CryptDestroyHash(state_->Hash);
    }
    if (state_->Provider != 0) {
        CryptReleaseContext(state_->Provider, 0);
    }
}

void ContentHash::Add(std::string_view bytes) {
    constexpr std::size_t kLargestPiece = 1u << 30; // CryptHashData takes a DWORD length
    while (!state_->Failed && !bytes.empty()) {
        const std::size_t piece = bytes.size() < kLargestPiece ? bytes.size() : kLargestPiece;
        state_->Failed = !CryptHashData(state_->Hash, reinterpret_cast<const BYTE*>(bytes.data()),
                                        static_cast<DWORD>(piece), 0);
        bytes.remove_prefix(piece);
    }
}

std::string ContentHash::Digest() const {
    unsigned char digest[16] = {};
    DWORD size = sizeof digest;
    const bool got =
        !state_->Failed && CryptGetHashParam(state_->Hash, HP_HASHVAL, digest, &size, 0) != 0;
    return got ? Hexadecimal(digest, size) : std::string();
}
#else
struct ContentHash::State {
    XXH3_state_t* Hash = XXH3_createState();
};

ContentHash::ContentHash() : state_(std::make_unique<State>()) {
    if (state_->Hash != nullptr) {
        XXH3_128bits_reset(state_->Hash);
    }
}

ContentHash::~ContentHash() {
    XXH3_freeState(state_->Hash);
}

void ContentHash::Add(std::string_view bytes) {
    if (state_->Hash != nullptr) {
        XXH3_128bits_update(state_->Hash, bytes.data(), bytes.size());
    }
}

std::string ContentHash::Digest() const {
    if (state_->Hash == nullptr) {
        return {};
    }
    XXH128_canonical_t canonical;
    XXH128_canonicalFromHash(&canonical, XXH3_128bits_digest(state_->Hash));
    return Hexadecimal(canonical.digest, sizeof canonical.digest);
}
#endif

} // namespace quillon
