#include "platform/LocaleCollator.h"

#include <QByteArray>
#include <algorithm>
#include <memory>
#include <unicode/coll.h>
#include <unicode/locid.h>

namespace LocaleCollator {
namespace {

std::unique_ptr<icu::Collator> MakeCollator(icu::Collator::ECollationStrength strength)
{
    UErrorCode status = U_ZERO_ERROR;
    // The C/POSIX locale maps to ICU's en_US_POSIX, whose collation mimics
    // byte order ("B" before "a"); people expect the root order there.
    icu::Locale locale = icu::Locale::getDefault();
    if (qstrcmp(locale.getName(), "en_US_POSIX") == 0)
        locale = icu::Locale::getRoot();
    std::unique_ptr<icu::Collator> collator(icu::Collator::createInstance(locale, status));
    if (U_FAILURE(status) || !collator) {
        status = U_ZERO_ERROR;
        collator.reset(icu::Collator::createInstance(icu::Locale::getRoot(), status));
    }
    if (collator)
        collator->setStrength(strength);
    return collator;
}

icu::Collator* Sorting()
{
    thread_local std::unique_ptr<icu::Collator> collator = MakeCollator(icu::Collator::TERTIARY);
    return collator.get();
}

icu::Collator* Lookup()
{
    thread_local std::unique_ptr<icu::Collator> collator = MakeCollator(icu::Collator::SECONDARY);
    return collator.get();
}

int Collate(icu::Collator* collator, const QString& a, const QString& b)
{
    if (!collator)
        return a.compare(b);
    UErrorCode status = U_ZERO_ERROR;
    const auto* ua = reinterpret_cast<const char16_t*>(a.utf16());
    const auto* ub = reinterpret_cast<const char16_t*>(b.utf16());
    const UCollationResult r = collator->compare(ua, int32_t(a.size()), ub, int32_t(b.size()), status);
    if (U_FAILURE(status))
        return a.compare(b);
    return int(r);
}

} // namespace

QByteArray SortKey(const QString& name)
{
    icu::Collator* collator = Sorting();
    if (!collator)
        return QByteArray(reinterpret_cast<const char*>(name.utf16()), name.size() * 2);
    const auto* text = reinterpret_cast<const char16_t*>(name.utf16());
    QByteArray key(64, Qt::Uninitialized);
    int32_t length = collator->getSortKey(text, int32_t(name.size()), reinterpret_cast<uint8_t*>(key.data()),
                                          int32_t(key.size()));
    if (length > key.size()) {
        key.resize(length);
        length = collator->getSortKey(text, int32_t(name.size()), reinterpret_cast<uint8_t*>(key.data()),
                                      int32_t(key.size()));
    }
    key.resize(std::max<int32_t>(length, 0));
    return key;
}

bool EqualsIgnoreCase(const QString& a, const QString& b)
{
    return Collate(Lookup(), a, b) == 0;
}

} // namespace LocaleCollator
