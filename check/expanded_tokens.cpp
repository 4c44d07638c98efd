// Reads an expression's tokens through the macros it names.
#include "check/expanded_tokens.h"

#include "check/header_text.h"

namespace protowrap::check {

namespace {

ExpressionToken Of(ExpressionToken::Kind kind) {
  ExpressionToken item;
  item.kind = kind;
  return item;
}
ExpressionToken Bad() {
  return Of(ExpressionToken::Kind::kBad);
}
ExpressionToken Expanded() {
  return Of(ExpressionToken::Kind::kName);
}
ExpressionToken Ended() {
  return Of(ExpressionToken::Kind::kEnd);
}

ExpressionToken Unknown() {
  ExpressionToken item;
  item.kind = ExpressionToken::Kind::kValue;
  return item;
}

ExpressionToken Known(const IntegerValue& value) {
  ExpressionToken item;
  item.kind = ExpressionToken::Kind::kValue;
  item.value = {true, value};
  return item;
}

std::string_view TextOf(const ExpressionFrame& frame, const Token& token) {
  return frame.text.substr(static_cast<std::size_t>(token.begin),
                           static_cast<std::size_t>(token.end - token.begin));
}

// The operator at a punctuator: up to three that touch ("<<", ",," for "==" as the rules
// wrote it, "<<,"...).
ExpressionToken Operator(ExpressionFrame& frame, const Token& token) {
  ExpressionToken item;
  item.kind = ExpressionToken::Kind::kOperator;
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

}  // namespace

ExpandedTokens::ExpandedTokens(std::string_view expression, ExpressionUse use,
                               const MacroLookup& macros, bool headerText, ExpansionBudget& budget,
                               Buffers& buffers)
    : use_(use),
      macros_(macros),
      longWidth_(macros.LongWidth()),
      budget_(budget),
      buffers_(buffers) {
  Push(expression, {}, headerText);
}

void ExpandedTokens::Push(std::string_view text, std::string_view macro, bool headerText) {
  ExpressionFrame& frame = frames_[depth_];
  std::string* scratch = &buffers_.texts[depth_];
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

bool ExpandedTokens::Hidden(std::string_view name) const {
  for (int i = 0; i < depth_; ++i) {
    if (frames_[i].macro == name) {
      return true;
    }
  }
  return false;
}

// The next raw token of the innermost frame that has one; kEnd at the expression's end.
Token ExpandedTokens::Raw(ExpressionFrame** from) {
  for (;;) {
    ExpressionFrame& frame = frames_[depth_ - 1];
    const Token token = frame.lexer.Next();
    if (token.kind != TokenKind::kEnd || depth_ == 1) {
      *from = &frame;
      return token;
    }
    --depth_;
  }
}

// A name in a condition: "defined X", "defined(X)", a macro, or a name that is none.
ExpressionToken ExpandedTokens::Defined(ExpressionFrame& frame) {
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

ExpressionToken ExpandedTokens::Name(ExpressionFrame& frame, const Token& token) {
  std::string scratch;
  const std::string_view name = WithoutSplices(TextOf(frame, token), &scratch);
  if (name == "true" || name == "false") {
    return Known(IntegerValue::OfInt(name == "true" ? 1 : 0));
  }
  if (use_ == ExpressionUse::kCondition && name == "defined") {
    return Defined(frame);
  }
  // A macro inside its own replacement stays a name, as a name that is no macro does.
  const MacroMeaning meaning =
      Hidden(name) ? MacroMeaning{MacroMeaning::Kind::kNone, {}, nullptr} : macros_.Find(name);
  switch (meaning.kind) {
    case MacroMeaning::Kind::kObject:
      if (depth_ == kMaxFrames || !budget_.Spend(meaning.body.size())) {
        return Unknown();
      }
      Push(meaning.body, name.data() == scratch.data() ? std::string_view{} : name, true);
      return Expanded();  // read on in the replacement
    case MacroMeaning::Kind::kNone:
      if (use_ == ExpressionUse::kCondition && !SkipParenthesized(frame.lexer)) {
        return Known(IntegerValue::OfInt(0));  // a name that is no macro is 0 in a condition
      }
      return Unknown();  // a constant of the program, or F(x) with F no macro
    case MacroMeaning::Kind::kFunction:
    case MacroMeaning::Kind::kOpaque:
    case MacroMeaning::Kind::kUnknown:
      SkipParenthesized(frame.lexer);
      return Unknown();
  }
  return Unknown();  // not reached: every kind returns above
}

// The next token, with macros replaced on the way.
ExpressionToken ExpandedTokens::Next() {
  ExpressionToken token_;
  for (;;) {
    ExpressionFrame* frame = nullptr;
    const Token token = Raw(&frame);
    switch (token.kind) {
      case TokenKind::kEnd:
        token_ = Ended();
        return token_;
      case TokenKind::kNumber: {
        std::string scratch;
        IntegerValue value;
        token_ =
            ParseIntegerLiteral(WithoutSplices(TextOf(*frame, token), &scratch), &value, longWidth_)
                ? Known(Promoted(value))
                : Unknown();
        return token_;
      }
      case TokenKind::kLiteral: {
        IntegerValue value;
        token_ = ParseCharacterLiteral(TextOf(*frame, token), &value) ? Known(Promoted(value))
                                                                      : Unknown();
        return token_;
      }
      case TokenKind::kIdentifier:
        token_ = Name(*frame, token);
        if (token_.kind == ExpressionToken::Kind::kName) {
          continue;
        }
        if (token_.value.known) {
          token_.value.value = Promoted(token_.value.value);
        }
        return token_;
      case TokenKind::kPunctuator:
        token_ = Operator(*frame, token);
        return token_;
      case TokenKind::kDirective:
      case TokenKind::kCommentedDirective:
      case TokenKind::kEndedComment:
        token_ = Bad();
        return token_;
    }
  }
}

// In a condition, every value is an intmax_t or a uintmax_t.
IntegerValue ExpandedTokens::Promoted(const IntegerValue& value) const {
  return use_ == ExpressionUse::kCondition ? value.Widened() : value;
}

}  // namespace protowrap::check
