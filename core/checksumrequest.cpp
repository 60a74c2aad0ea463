#include "checksumrequest.h"

#include "cartridgechecksum.h"

bool ChecksumRequest::applyTo(QByteArray& image, ImageForm form) const
{
    switch (m_kind) {
    case Kind::Keep:
        return true;
    case Kind::Fix:
        return CartridgeChecksum::fix(image, form);
    case Kind::Put:
        return CartridgeChecksum::putPair(image, form, m_pair);
    }
    return false;
}
