// SPDX-License-Identifier: GPL-3.0-or-later
#include "ops/SimdTargets.h"

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "ops/SimdTargets.cpp"
#include <hwy/foreach_target.h> // IWYU pragma: keep
#include <hwy/highway.h>

HWY_BEFORE_NAMESPACE();
namespace ops {
namespace HWY_NAMESPACE {

int64_t CompiledTarget()
{
    return HWY_TARGET;
}

} // namespace HWY_NAMESPACE
} // namespace ops
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace ops {

HWY_EXPORT(CompiledTarget);

std::vector<int64_t> SimdTargets()
{
    return hwy::SupportedAndGeneratedTargets();
}

int64_t SimdTargetInUse()
{
    return HWY_DYNAMIC_DISPATCH(CompiledTarget)();
}

std::string SimdTargetName(int64_t target)
{
    return hwy::TargetName(target);
}

} // namespace ops
#endif // HWY_ONCE
