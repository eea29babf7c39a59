#pragma once
// The look of the reading template as the template editor shows it: page background, font,
// size, colour, line height and weight of the chapter title and of the text, colour and
// height of the separator line. Each value is read out of the template's style rules with a
// pattern (global, ignore case, the value its second group) and written back in place, so the
// rest of the file is never changed:
//   body{… background:V; …}  body{… font-family / font-size / color / line-height / font-weight}
//   bookname{… the same five for the title}  hr{… color:V; height:V}
// Each rule sits on one line with "{" right after the selector.
//
// Sizes and heights are read without their unit and written with "pt"; line heights are
// written with "%"; weights are "bold" or "normal". Pure functions, any thread.
#include <QString>

namespace inkwren {

struct TemplateStyle {
  QString background;
  QString bodyFont, bodySize, bodyColor, bodyHeight;
  bool bodyBold = false;
  QString headFont, headSize, headColor, headHeight;
  bool headBold = false;
  QString lineColor, lineSize;

  bool operator==(const TemplateStyle &) const = default;

  // "恢复默认": white page, 宋体 12pt black text at 130%, 宋体 19pt black bold title at 130%,
  // orange separator of 1pt.
  static TemplateStyle defaults();
  // The values found in a template (those whose pattern finds nothing stay empty).
  static TemplateStyle read(const QString &html);
  // The template with every value written in place, in a fixed order.
  QString write(QString html) const;

  // The group'th group after the first (group 1 is the value) of the pattern's first match,
  // or an empty text without a match.
  static QString getpreg(const QString &text, const QString &pattern, int group);
  // Replaces a value in place: with the pattern's first match, the value group's text there
  // becomes newValue, and every copy of the matched text in the whole text changes the same
  // way. Nothing changes without a match or when the matched value is empty.
  static QString reppreg(const QString &text, const QString &pattern, int group,
                         const QString &newValue);
};

} // namespace inkwren
