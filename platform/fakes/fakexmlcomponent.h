#pragma once

#include "platform/xmldocument.h"

namespace platform::xml {

class FakeXmlComponent final : public XmlComponent
{
public:
    explicit FakeXmlComponent(bool available)
        : available(available)
    { }
    bool isAvailable() override { return available; }
    bool available;
};

} // namespace platform::xml
