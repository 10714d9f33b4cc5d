#pragma once

#include "SubMaster.h"

#include <memory>
#include <vector>

namespace orinsub::model {

/// One page of sub-masters; index = sub-master number - 1.
class CSubPage
{
public:
    CSubPage()
    {
        for (int i = 0; i < kSubMastersPerPage; ++i)
            m_subMasters.push_back(std::make_unique<CSubMaster>());
    }

    std::vector<std::unique_ptr<CSubMaster>> m_subMasters;
};

} // namespace orinsub::model
