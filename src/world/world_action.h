// One action of a world script: an action code (action_codes.h) and its typed parameters.
// Parameter type codes are local to each action code; they say which role a value fills.
#pragma once

#include <string>
#include <variant>
#include <vector>

class SubtitleItem;

// A parameter value: a number (integers are stored as floats and truncated when read), a
// 16-bit file path of a sound or a video, or a subtitle list. Paths and subtitle lists are
// not owned: they are literals and objects of the world definition that live for the run.
using WorldParamValue = std::variant<float, const wchar_t*, SubtitleItem*>;

class WorldAction {
public:
    explicit WorldAction(int code) : c_iType(code) {}

    void addParam(int type, float value) { c_pParams.push_back({type, value}); }
    void addParamObject(int type, const wchar_t* path) { c_pParams.push_back({type, path}); }
    void addParamObject(int type, SubtitleItem* subtitles) { c_pParams.push_back({type, subtitles}); }

    // Reads of parameter i (0 .. ParamCount - 1). An index out of range, or a value of another
    // kind than the read expects, raises an Error that names the action code and the index.
    int getParamType(int i) const;
    float getParamValue(int i) const;
    const WorldParamValue& getParamValueObject(int i) const;
    const wchar_t* getParamPath(int i) const;
    SubtitleItem* getParamSubtitles(int i) const;

    int get_ParamCount() const { return static_cast<int>(c_pParams.size()); }
    int get_Type() const { return c_iType; }

private:
    struct Param {
        int type;
        WorldParamValue value;
    };
    const Param& At(int i) const;

    int c_iType;
    std::vector<Param> c_pParams;
};

// A float parameter as the scripts read integers: truncated towards zero, saturated at the
// limits of int (NaN reads as 0) so that a wild value never becomes undefined behaviour.
int TruncateParam(float value);
