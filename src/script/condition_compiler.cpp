#include "script/condition_compiler.h"

#include <cctype>
#include <charconv>
#include <memory>
#include <string>

#include "world/condition_codes.h"

namespace {

// ---- tokens of the text ----

enum class Lex { End, Number, Name, Open, Close, Comma, Compare, And, Or, Not, Minus };

struct Word {
    Lex kind = Lex::End;
    std::string_view text;
    int column = 1;  // 1-based
    int value = 0;   // Number: its value; Compare: its condition code (negated ones below)
};

// `<=` and `>=` have no token of their own: they are the negation of `>` and `<`.
constexpr int kLessOrEqual = -CT_Greater;
constexpr int kGreaterOrEqual = -CT_Less;

class Lexer {
public:
    explicit Lexer(std::string_view text) : c_text(text) { Advance(); }

    const Word& Peek() const { return c_word; }
    Word Take()
    {
        Word w = c_word;
        Advance();
        return w;
    }

private:
    [[noreturn]] void Fail(std::size_t at, const std::string& what) const
    {
        throw ConditionError(static_cast<int>(at) + 1, what);
    }

    void Advance()
    {
        while (c_at < c_text.size() && std::isspace(static_cast<unsigned char>(c_text[c_at]))) ++c_at;
        c_word = Word{};
        c_word.column = static_cast<int>(c_at) + 1;
        if (c_at >= c_text.size()) return;
        const std::size_t start = c_at;
        const char c = c_text[c_at];
        auto word = [&](Lex kind, std::size_t length, int value = 0) {
            c_word.kind = kind;
            c_word.text = c_text.substr(start, length);
            c_word.value = value;
            c_at = start + length;
        };
        auto next = [&](char n) { return c_at + 1 < c_text.size() && c_text[c_at + 1] == n; };
        if (std::isdigit(static_cast<unsigned char>(c))) {
            std::size_t end = start;
            while (end < c_text.size() && std::isdigit(static_cast<unsigned char>(c_text[end]))) ++end;
            int value = 0;
            const auto [p, ec] = std::from_chars(c_text.data() + start, c_text.data() + end, value);
            if (ec != std::errc() || p != c_text.data() + end) Fail(start, "number out of range");
            word(Lex::Number, end - start, value);
        } else if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
            std::size_t end = start;
            while (end < c_text.size() && (std::isalnum(static_cast<unsigned char>(c_text[end])) || c_text[end] == '_'))
                ++end;
            const std::string_view name = c_text.substr(start, end - start);
            word(name == "and" ? Lex::And : name == "or" ? Lex::Or : name == "not" ? Lex::Not : Lex::Name, end - start);
        } else if (c == '(') {
            word(Lex::Open, 1);
        } else if (c == ')') {
            word(Lex::Close, 1);
        } else if (c == ',') {
            word(Lex::Comma, 1);
        } else if (c == '-') {
            word(Lex::Minus, 1);
        } else if (c == '=') {
            word(Lex::Compare, next('=') ? 2 : 1, CT_Equal);
        } else if ((c == '~' || c == '!') && next('=')) {
            word(Lex::Compare, 2, CT_NotEqual);
        } else if (c == '<') {
            if (next('=')) word(Lex::Compare, 2, kLessOrEqual);
            else word(Lex::Compare, 1, CT_Less);
        } else if (c == '>') {
            if (next('=')) word(Lex::Compare, 2, kGreaterOrEqual);
            else word(Lex::Compare, 1, CT_Greater);
        } else {
            Fail(start, std::string("unexpected character '") + c + "'");
        }
    }

    std::string_view c_text;
    std::size_t c_at = 0;
    Word c_word;
};

// ---- the expression ----

struct Node {
    enum Kind { Operand, Not, Binary } kind = Operand;
    int code = 0;  // Operand: the operand code; Binary: the operator code
    int argument = 0;
    std::unique_ptr<Node> left, right;  // Not uses `left`
};
using NodePtr = std::unique_ptr<Node>;

NodePtr Operand(int code, int argument)
{
    auto n = std::make_unique<Node>();
    n->code = code;
    n->argument = argument;
    return n;
}
NodePtr Negation(NodePtr of)
{
    auto n = std::make_unique<Node>();
    n->kind = Node::Not;
    n->left = std::move(of);
    return n;
}
NodePtr Binary(int code, NodePtr left, NodePtr right)
{
    auto n = std::make_unique<Node>();
    n->kind = Node::Binary;
    n->code = code;
    n->left = std::move(left);
    n->right = std::move(right);
    return n;
}

class Parser {
public:
    Parser(std::string_view text, const ConditionNames& names) : c_lex(text), c_names(names) {}

    NodePtr Whole()
    {
        NodePtr n = Or();
        if (c_lex.Peek().kind != Lex::End) Fail(c_lex.Peek(), "expected 'and', 'or' or the end of the condition");
        return n;
    }

private:
    [[noreturn]] static void Fail(const Word& at, const std::string& what)
    {
        const std::string found = at.kind == Lex::End ? "the end" : "'" + std::string(at.text) + "'";
        throw ConditionError(at.column, what + ", found " + found);
    }

    Word Expect(Lex kind, const char* what)
    {
        if (c_lex.Peek().kind != kind) Fail(c_lex.Peek(), std::string("expected ") + what);
        return c_lex.Take();
    }

    NodePtr Or()
    {
        NodePtr n = And();
        while (c_lex.Peek().kind == Lex::Or) {
            c_lex.Take();
            n = Binary(CT_Or, std::move(n), And());
        }
        return n;
    }
    NodePtr And()
    {
        NodePtr n = Unary();
        while (c_lex.Peek().kind == Lex::And) {
            c_lex.Take();
            n = Binary(CT_And, std::move(n), Unary());
        }
        return n;
    }
    NodePtr Unary()
    {
        if (c_lex.Peek().kind == Lex::Not) {
            c_lex.Take();
            return Negation(Unary());
        }
        return Comparison();
    }
    NodePtr Comparison()
    {
        NodePtr left = Primary();
        if (c_lex.Peek().kind != Lex::Compare) return left;
        const int code = c_lex.Take().value;
        NodePtr right = Primary();
        if (code == kLessOrEqual) return Negation(Binary(CT_Greater, std::move(left), std::move(right)));
        if (code == kGreaterOrEqual) return Negation(Binary(CT_Less, std::move(left), std::move(right)));
        return Binary(code, std::move(left), std::move(right));
    }
    NodePtr Primary()
    {
        const Word w = c_lex.Peek();
        switch (w.kind) {
        case Lex::Number: c_lex.Take(); return Operand(CT_Value, w.value);
        case Lex::Minus: {
            c_lex.Take();
            const Word n = Expect(Lex::Number, "a number after '-'");
            return Operand(CT_Value, -n.value);
        }
        case Lex::Open: {
            c_lex.Take();
            NodePtr n = Or();
            Expect(Lex::Close, "')'");
            return n;
        }
        case Lex::Name: return Named();
        default: Fail(w, "expected a name, a number or '('");
        }
    }
    NodePtr Named()
    {
        const Word name = c_lex.Take();
        if (c_lex.Peek().kind != Lex::Open) {
            const std::optional<int> var = c_names.variable ? c_names.variable(name.text) : std::nullopt;
            if (!var) throw ConditionError(name.column, "unknown variable '" + std::string(name.text) + "'");
            return Operand(CT_Var, *var);
        }
        const std::string_view f = name.text;
        const int code = f == "total" ? CT_ArrayTotal : f == "all_set" ? CT_ArrayAllChecked
                         : f == "not_all_set" ? CT_ArrayNotAllChecked : f == "cell" ? CT_Var : -1;
        if (code < 0)
            throw ConditionError(name.column, "unknown function '" + std::string(f) +
                                                  "' (known: total, all_set, not_all_set, cell)");
        c_lex.Take();
        const Word grid = Expect(Lex::Name, "a grid's name");
        int argument = 0;
        if (code == CT_Var) {
            Expect(Lex::Comma, "','");
            const int x = Expect(Lex::Number, "a column").value;
            Expect(Lex::Comma, "','");
            const int y = Expect(Lex::Number, "a row").value;
            const std::optional<int> var = c_names.cell ? c_names.cell(grid.text, x, y) : std::nullopt;
            if (!var)
                throw ConditionError(grid.column, "no cell (" + std::to_string(x) + ", " + std::to_string(y) +
                                                      ") in a grid named '" + std::string(grid.text) + "'");
            argument = *var;
        } else {
            const std::optional<int> number = c_names.grid ? c_names.grid(grid.text) : std::nullopt;
            if (!number) throw ConditionError(grid.column, "unknown grid '" + std::string(grid.text) + "'");
            argument = *number;
        }
        Expect(Lex::Close, "')'");
        return Operand(code, argument);
    }

    Lexer c_lex;
    const ConditionNames& c_names;
};

// ---- tokens for the interpreter ----

void Emit(const Node& n, std::vector<int>& out);

// An operand of an operator or of a negation: a single value stands alone, anything else goes
// in brackets so that it is reduced to one value before the operator sees it.
void EmitGrouped(const Node& n, std::vector<int>& out)
{
    if (n.kind == Node::Operand) {
        Emit(n, out);
        return;
    }
    out.push_back(CT_Open);
    Emit(n, out);
    out.push_back(CT_Close);
}

void Emit(const Node& n, std::vector<int>& out)
{
    switch (n.kind) {
    case Node::Operand:
        out.push_back(n.code);
        out.push_back(n.argument);
        return;
    case Node::Not:
        out.push_back(CT_Not);
        EmitGrouped(*n.left, out);
        return;
    case Node::Binary:
        // The interpreter reduces the leftmost triple first, so a left side made of
        // comparisons and joins is reduced whole before this operator; only a leading
        // negation must be grouped, or its operand would be joined first.
        if (n.left->kind == Node::Not) EmitGrouped(*n.left, out);
        else Emit(*n.left, out);
        out.push_back(n.code);
        EmitGrouped(*n.right, out);
        return;
    }
}

}  // namespace

std::vector<int> CompileCondition(std::string_view text, const ConditionNames& names)
{
    std::vector<int> tokens;
    if (text.find_first_not_of(" \t\r\n") == std::string_view::npos) return tokens;
    Parser parser(text, names);
    Emit(*parser.Whole(), tokens);
    return tokens;
}
