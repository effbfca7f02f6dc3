#pragma once

#include "PrintedTable.h"

// A window whose contents File>Print and Print Preview print: it hands over its table.
class PrintableView
{
public:
    virtual ~PrintableView() = default;
    virtual PrintedTable printedTable() const = 0;
};
