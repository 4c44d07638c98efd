// The evaluator of #if conditions and enumerators' values, through the macros they name.
#include "check/expression.h"

#include <cstdint>
#include <cstring>

namespace protowrap::check {

// One expression's parse, over its tokens as the macros expand.
class ExpressionEvaluator::Run {
 public:
  Run(ExpressionEvaluator& owner, std::string_view expression, ExpressionUse use,
      const MacroLookup& macros, bool headerText)
      : use_(use), tokens_(expression, use, macros, headerText, owner.budget_, owner.buffers_) {
    Advance();
  }

  Evaluation Result() {
    const Evaluation value = Conditional();
    return token_.kind == Kind::kEnd ? value : Evaluation{};
  }

 private:
  using Kind = ExpressionToken::Kind;
  static constexpr int kMaxDepth = 64;

  void Advance() { token_ = tokens_.Next(); }

  bool Is(const char* op) const {
    return token_.kind == Kind::kOperator && std::strcmp(token_.op, op) == 0;
  }

  // ---- The grammar, by precedence climbing, depth-limited ----

  // One level deeper into the grammar, within the limit: past it the expression is given up.
  bool Deeper() {
    if (++depth_of_recursion_ > kMaxDepth) {
      bad_ = true;
      return false;
    }
    return true;
  }

  Evaluation Conditional() {
    if (!Deeper()) {
      return {};
    }
    Evaluation condition = Binary(0);
    if (Is("?")) {
      Advance();
      Evaluation a = Conditional();
      if (!Is(":")) {
        bad_ = true;
        return {};
      }
      Advance();
      Evaluation b = Conditional();
      condition = Choose(condition, a, b);
    }
    --depth_of_recursion_;
    return bad_ ? Evaluation{} : condition;
  }

  static int Precedence(const char* op) {
    static constexpr struct {
      const char* op;
      int level;
    } kLevels[] = {{"||", 1}, {"&&", 2}, {"|", 3}, {"^", 4},  {"&", 5},  {"==", 6},
                   {"!=", 6}, {"<", 7},  {">", 7}, {"<=", 7}, {">=", 7}, {"<<", 8},
                   {">>", 8}, {"+", 9},  {"-", 9}, {"*", 10}, {"/", 10}, {"%", 10}};
    for (const auto& level : kLevels) {
      if (std::strcmp(op, level.op) == 0) {
        return level.level;
      }
    }
    return 0;
  }

  Evaluation Binary(int above) {
    Evaluation left = Unary();
    for (;;) {
      if (token_.kind != Kind::kOperator) {
        return left;
      }
      char op[4];
      std::memcpy(op, token_.op, sizeof op);
      const int level = Precedence(op);
      if (level <= above) {
        return left;
      }
      Advance();
      if (!Deeper()) {
        return {};
      }
      const Evaluation right = Binary(level);
      --depth_of_recursion_;
      left = ApplyBinary(op, left, right, use_ == ExpressionUse::kCondition);
    }
  }

  Evaluation Unary() {
    if (token_.kind == Kind::kOperator && (Is("+") || Is("-") || Is("~") || Is("!"))) {
      const char op = token_.op[0];
      Advance();
      if (!Deeper()) {
        return {};
      }
      const Evaluation value = Unary();
      --depth_of_recursion_;
      return ApplyUnary(op, value, use_ == ExpressionUse::kCondition);
    }
    return Primary();
  }

  Evaluation Primary() {
    if (token_.kind == Kind::kValue) {
      const Evaluation value = token_.value;
      Advance();
      return value;
    }
    if (Is("(")) {
      Advance();
      const Evaluation value = Conditional();
      if (!Is(")")) {
        bad_ = true;
        return {};
      }
      Advance();
      return value;
    }
    bad_ = true;
    return {};
  }

  ExpressionUse use_;
  ExpandedTokens tokens_;
  int depth_of_recursion_ = 0;
  bool bad_ = false;
  ExpressionToken token_;
};

Evaluation ExpressionEvaluator::Evaluate(std::string_view expression, ExpressionUse use,
                                         const MacroLookup& macros, bool headerText) {
  if (expression.size() > static_cast<std::size_t>(INT32_MAX)) {  // positions are int32_t
    return {};
  }
  Run run(*this, expression, use, macros, headerText);
  return run.Result();
}

}  // namespace protowrap::check
