#include "world/world_action.h"

#include <cmath>
#include <limits>

#include "core/error.h"

namespace {

const char* KindName(const WorldParamValue& value)
{
    switch (value.index()) {
    case 0: return "a number";
    case 1: return "a file path";
    default: return "a subtitle list";
    }
}

}  // namespace

const WorldAction::Param& WorldAction::At(int i) const
{
    if (i < 0 || i >= get_ParamCount()) {
        throw Error("action code " + std::to_string(c_iType) + " has no parameter " + std::to_string(i) +
                    " (it has " + std::to_string(get_ParamCount()) + ")");
    }
    return c_pParams[static_cast<std::size_t>(i)];
}

int WorldAction::getParamType(int i) const { return At(i).type; }

const WorldParamValue& WorldAction::getParamValueObject(int i) const { return At(i).value; }

template <typename T>
static const T& Expect(const WorldParamValue& value, int code, int i, int type, const char* wanted)
{
    if (const T* p = std::get_if<T>(&value)) return *p;
    throw Error("action code " + std::to_string(code) + ", parameter " + std::to_string(i) + " (type " +
                std::to_string(type) + ") is " + KindName(value) + " where " + wanted + " was expected");
}

float WorldAction::getParamValue(int i) const
{
    const Param& p = At(i);
    return Expect<float>(p.value, c_iType, i, p.type, "a number");
}

const wchar_t* WorldAction::getParamPath(int i) const
{
    const Param& p = At(i);
    const wchar_t* path = Expect<const wchar_t*>(p.value, c_iType, i, p.type, "a file path");
    if (path == nullptr) {
        throw Error("action code " + std::to_string(c_iType) + ", parameter " + std::to_string(i) +
                    " is an empty file path");
    }
    return path;
}

SubtitleItem* WorldAction::getParamSubtitles(int i) const
{
    const Param& p = At(i);
    return Expect<SubtitleItem*>(p.value, c_iType, i, p.type, "a subtitle list");
}

int TruncateParam(float value)
{
    if (std::isnan(value)) return 0;
    if (value >= 2147483648.0f) return std::numeric_limits<int>::max();
    if (value <= -2147483648.0f) return std::numeric_limits<int>::min();
    return static_cast<int>(value);
}
