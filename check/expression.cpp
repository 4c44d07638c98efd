// The evaluator of #if conditions and enumerators' values, through the macros they name.
#include "check/expression.h"

#include <cstring>

#include "check/lexer.h"
#include "wrap/rewrite_rules.h"

namespace protowrap::check {

namespace {

// Replaces every `from` in `text` by `to`, into `*out`.
void ReplaceInto(std::string_view text, std::string_view from, std::string_view to,
                 std::string* out) {
  out->clear();
  for (std::size_t at = 0;;) {
    const std::size_t hit = text.find(from, at);
    if (hit == std::string_view::npos) {
      out->append(text.substr(at));
      return;
    }
    out->append(text.substr(at, hit - at));
    out->append(to);
    at = hit + from.size();
  }
}

}  // namespace

std::string_view HeaderTextOf(std::string_view text, std::string* scratch) {
  // The rules whose replacement says what they replaced: each is undone by replacing the other
  // way round.
  static constexpr Rule kUndone[] = {Rule::kOpenCgEntry,        Rule::kOpenCwEntry,
                                     Rule::kProtocolDeclarator, Rule::kCloseTable,
                                     Rule::kEnumBecomesTable,   Rule::kCommentDirective};
  std::string other;
  std::string_view current = WithoutSplices(text, scratch);
  for (const Rule rule : kUndone) {
    const std::string_view written = RuleOf(rule).replacement;
    if (current.find(written) != std::string_view::npos) {
      ReplaceInto(current, written, RuleOf(rule).pattern, &other);
      scratch->swap(other);
      current = *scratch;
    }
  }
  return current;
}

// One expression's evaluation: its tokens, read through the macros it names, and the parse.
struct ExpressionEvaluator::Frame {
  std::string_view text;
  std::string_view macro;  // the macro this frame replaces, which does not expand again in it
  Lexer lexer{nullptr, 0};
};

class ExpressionEvaluator::Run {
 public:
  Run(ExpressionEvaluator& owner, std::string_view expression, ExpressionUse use,
      const MacroLookup& macros, bool headerText)
      : owner_(owner), use_(use), macros_(macros), longWidth_(macros.LongWidth()) {
    Push(expression, {}, headerText);
    Advance();
  }

  Evaluation Result() {
    const Evaluation value = Conditional();
    return token_.kind == Kind::kEnd ? value : Evaluation{};
  }

 private:
  static constexpr int kMaxDepth = 64;

  enum class Kind : std::uint8_t { kEnd, kValue, kOperator, kName, kBad };

  // A token, taken out of its frame's text as it is read (frames end and lend their buffers).
  struct Item {
    Kind kind = Kind::kEnd;
    Evaluation value;  // kValue
    char op[4] = {};   // kOperator: up to three bytes
  };

  void Push(std::string_view text, std::string_view macro, bool headerText) {
    Frame& frame = frames_[depth_];
    std::string* scratch = &owner_.scratch_[depth_];
    if (headerText) {
      scratch->assign(text);  // the lookup's buffer serves the next lookup
      frame.text = *scratch;
    } else {
      frame.text = HeaderTextOf(text, scratch);
    }
    frame.macro = macro;
    frame.lexer = Lexer(frame.text.data(), static_cast<std::int32_t>(frame.text.size()));
    ++depth_;
  }

  bool Hidden(std::string_view name) const {
    for (int i = 0; i < depth_; ++i) {
      if (frames_[i].macro == name) {
        return true;
      }
    }
    return false;
  }

  // The next raw token of the innermost frame that has one; kEnd at the expression's end.
  Token Raw(Frame** from) {
    for (;;) {
      Frame& frame = frames_[depth_ - 1];
      const Token token = frame.lexer.Next();
      if (token.kind != TokenKind::kEnd || depth_ == 1) {
        *from = &frame;
        return token;
      }
      --depth_;
    }
  }

  static std::string_view TextOf(const Frame& frame, const Token& token) {
    return frame.text.substr(static_cast<std::size_t>(token.begin),
                             static_cast<std::size_t>(token.end - token.begin));
  }

  // Skips a parenthesized argument list in `frame`, whose '(' is next; false when it is not.
  static bool SkipArguments(Frame& frame) {
    const std::int32_t at = frame.lexer.Position();
    Token token = frame.lexer.Next();
    if (token.kind != TokenKind::kPunctuator ||
        frame.text[static_cast<std::size_t>(token.begin)] != '(') {
      frame.lexer.Seek(at);
      return false;
    }
    for (int depth = 1; depth > 0;) {
      token = frame.lexer.Next();
      if (token.kind == TokenKind::kEnd) {
        return true;
      }
      if (token.kind == TokenKind::kPunctuator) {
        const char c = frame.text[static_cast<std::size_t>(token.begin)];
        depth += c == '(' ? 1 : c == ')' ? -1 : 0;
      }
    }
    return true;
  }

  static Item Of(Kind kind) {
    Item item;
    item.kind = kind;
    return item;
  }
  static Item Bad() { return Of(Kind::kBad); }
  static Item Expanded() { return Of(Kind::kName); }
  static Item Ended() { return Of(Kind::kEnd); }

  Item Unknown() {
    Item item;
    item.kind = Kind::kValue;
    return item;
  }

  Item Known(const IntegerValue& value) {
    Item item;
    item.kind = Kind::kValue;
    item.value = {true, value};
    return item;
  }

  // A name in a condition: "defined X", "defined(X)", a macro, or a name that is none.
  Item Defined(Frame& frame) {
    Token token = frame.lexer.Next();
    bool parenthesized = false;
    if (token.kind == TokenKind::kPunctuator &&
        frame.text[static_cast<std::size_t>(token.begin)] == '(') {
      parenthesized = true;
      token = frame.lexer.Next();
    }
    if (token.kind != TokenKind::kIdentifier) {
      return Bad();
    }
    std::string name;
    const std::string_view spelled = WithoutSplices(TextOf(frame, token), &name);
    const MacroMeaning meaning = macros_.Find(spelled);
    if (parenthesized) {
      token = frame.lexer.Next();
      if (token.kind != TokenKind::kPunctuator ||
          frame.text[static_cast<std::size_t>(token.begin)] != ')') {
        return Bad();
      }
    }
    if (meaning.kind == MacroMeaning::Kind::kUnknown) {
      return Unknown();
    }
    return Known(IntegerValue::OfInt(meaning.kind == MacroMeaning::Kind::kNone ? 0 : 1));
  }

  Item Name(Frame& frame, const Token& token) {
    std::string scratch;
    const std::string_view name = WithoutSplices(TextOf(frame, token), &scratch);
    if (name == "true" || name == "false") {
      return Known(IntegerValue::OfInt(name == "true" ? 1 : 0));
    }
    if (use_ == ExpressionUse::kCondition && name == "defined") {
      return Defined(frame);
    }
    if (Hidden(name)) {
      return Unknown();  // a macro inside its own replacement stays a name
    }
    const MacroMeaning meaning = macros_.Find(name);
    switch (meaning.kind) {
      case MacroMeaning::Kind::kObject:
        if (depth_ == kMaxFrames || !owner_.budget_.Spend(meaning.body.size())) {
          return Unknown();
        }
        Push(meaning.body, name.data() == scratch.data() ? std::string_view{} : name, true);
        return Expanded();  // read on in the replacement
      case MacroMeaning::Kind::kNone:
        if (use_ == ExpressionUse::kCondition && !SkipArguments(frame)) {
          return Known(IntegerValue::OfInt(0));  // a name that is no macro is 0 in a condition
        }
        return Unknown();  // a constant of the program, or F(x) with F no macro
      case MacroMeaning::Kind::kFunction:
      case MacroMeaning::Kind::kOpaque:
      case MacroMeaning::Kind::kUnknown:
        SkipArguments(frame);
        return Unknown();
    }
    return Unknown();
  }

  // Reads the next token into token_, replacing macros on the way.
  void Advance() {
    for (;;) {
      Frame* frame = nullptr;
      const Token token = Raw(&frame);
      switch (token.kind) {
        case TokenKind::kEnd:
          token_ = Ended();
          return;
        case TokenKind::kNumber: {
          std::string scratch;
          IntegerValue value;
          token_ = ParseIntegerLiteral(WithoutSplices(TextOf(*frame, token), &scratch), &value,
                                       longWidth_)
                       ? Known(Promoted(value))
                       : Unknown();
          return;
        }
        case TokenKind::kLiteral: {
          IntegerValue value;
          token_ = ParseCharacterLiteral(TextOf(*frame, token), &value) ? Known(Promoted(value))
                                                                        : Unknown();
          return;
        }
        case TokenKind::kIdentifier:
          token_ = Name(*frame, token);
          if (token_.kind == Kind::kName) {
            continue;
          }
          if (token_.value.known) {
            token_.value.value = Promoted(token_.value.value);
          }
          return;
        case TokenKind::kPunctuator:
          token_ = Operator(*frame, token);
          return;
        case TokenKind::kDirective:
        case TokenKind::kCommentedDirective:
        case TokenKind::kEndedComment:
          token_ = Bad();
          return;
      }
    }
  }

  // In a condition, every value is an intmax_t or a uintmax_t.
  IntegerValue Promoted(const IntegerValue& value) const {
    return use_ == ExpressionUse::kCondition ? value.Widened() : value;
  }

  // The operator at a punctuator: up to three that touch ("<<", ",," for "==" as the rules
  // wrote it, "<<,"...).
  static Item Operator(Frame& frame, const Token& token) {
    Item item;
    item.kind = Kind::kOperator;
    const auto at = static_cast<std::size_t>(token.begin);
    const char c = frame.text[at];
    item.op[0] = c;
    std::size_t length = 1;
    const auto next = [&](std::size_t i) {
      return at + i < frame.text.size() ? frame.text[at + i] : '\0';
    };
    if ((c == '<' || c == '>' || c == '&' || c == '|') && next(1) == c) {
      item.op[length++] = c;
    } else if ((c == '=' || c == '!' || c == ',') && (next(1) == ',' || next(1) == '=')) {
      item.op[0] = c == '!' ? '!' : '=';
      item.op[length++] = '=';
    } else if ((c == '<' || c == '>') && (next(1) == ',' || next(1) == '=')) {
      item.op[length++] = '=';
    }
    frame.lexer.Seek(token.begin + static_cast<std::int32_t>(length));
    return item;
  }

  bool Is(const char* op) const {
    return token_.kind == Kind::kOperator && std::strcmp(token_.op, op) == 0;
  }

  // ---- The grammar, by precedence climbing, depth-limited ----

  Evaluation Conditional() {
    if (++depth_of_recursion_ > kMaxDepth) {
      bad_ = true;
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
      if (++depth_of_recursion_ > kMaxDepth) {
        bad_ = true;
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
      if (++depth_of_recursion_ > kMaxDepth) {
        bad_ = true;
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

  ExpressionEvaluator& owner_;
  ExpressionUse use_;
  const MacroLookup& macros_;
  std::uint8_t longWidth_;
  Frame frames_[kMaxFrames];
  int depth_ = 0;  // frames in use
  int depth_of_recursion_ = 0;
  bool bad_ = false;
  Item token_;
};

Evaluation ExpressionEvaluator::Evaluate(std::string_view expression, ExpressionUse use,
                                         const MacroLookup& macros, bool headerText) {
  if (expression.size() > 0x7FFFFFFF) {
    return {};
  }
  Run run(*this, expression, use, macros, headerText);
  return run.Result();
}

}  // namespace protowrap::check
