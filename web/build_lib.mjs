// SPDX-License-Identifier: GPL-3.0-or-later
// The pieces of the page's build that are worth testing on their own: reading the desktop's
// translation file, finding the texts the page names, and slimming the card deck.

// ---- the translation file ------------------------------------------------------------------

function unescapeXml(text) {
  return text.replace(/&(#x[0-9a-fA-F]+|#[0-9]+|amp|lt|gt|quot|apos);/g, (_, name) => {
    switch (name) {
      case 'amp': return '&';
      case 'lt': return '<';
      case 'gt': return '>';
      case 'quot': return '"';
      case 'apos': return "'";
      default:
        return String.fromCodePoint(name[1] === 'x' ? parseInt(name.slice(2), 16) : parseInt(name.slice(1), 10));
    }
  });
}

// Every current message of a Qt Linguist file: context, source, comment (the desktop's key) and
// the translation (a string, the plural forms for a count, or null when not translated yet).
// Messages the file keeps only as history (vanished, obsolete) are not texts of the program.
export function parseTranslations(xml) {
  const messages = [];
  for (const context of xml.matchAll(/<context>([\s\S]*?)<\/context>/g)) {
    const name = /<name>([\s\S]*?)<\/name>/.exec(context[1]);
    if (!name) throw new Error('a context without a name');
    for (const message of context[1].matchAll(/<message([^>]*)>([\s\S]*?)<\/message>/g)) {
      const body = message[2];
      const source = /<source>([\s\S]*?)<\/source>/.exec(body);
      if (!source) throw new Error(`a message without a source in ${name[1]}`);
      const comment = /<comment>([\s\S]*?)<\/comment>/.exec(body);
      const translation = /<translation([^>]*)>([\s\S]*?)<\/translation>|<translation([^>]*)\/>/.exec(body);
      const type = /type="([^"]*)"/.exec((translation && (translation[1] ?? translation[3])) || '');
      if (type && (type[1] === 'vanished' || type[1] === 'obsolete')) continue;
      let text = null;
      if (translation && translation[2] !== undefined && !(type && type[1] === 'unfinished')) {
        if (/numerus="yes"/.test(message[1])) {
          const forms = [...translation[2].matchAll(/<numerusform>([\s\S]*?)<\/numerusform>/g)].map((f) =>
            unescapeXml(f[1]));
          text = forms.length > 0 && forms.some((f) => f !== '') ? forms : null;
        } else {
          text = translation[2] === '' ? null : unescapeXml(translation[2]);
        }
      }
      messages.push({
        context: unescapeXml(name[1]),
        source: unescapeXml(source[1]),
        comment: comment ? unescapeXml(comment[1]) : '',
        numerus: /numerus="yes"/.test(message[1]),
        translation: text,
      });
    }
  }
  return messages;
}

// ---- the texts the page names ----------------------------------------------------------------

// A JavaScript string literal at text[i] (quotes of any kind, no ${} in a template): its value
// and the index after it, or null.
function readLiteral(text, i) {
  const quote = text[i];
  if (quote !== "'" && quote !== '"' && quote !== '`') return null;
  let value = '';
  for (let k = i + 1; k < text.length; ++k) {
    const c = text[k];
    if (c === quote) return { value, end: k + 1 };
    if (c === '\n' && quote !== '`') return null;
    if (quote === '`' && c === '$' && text[k + 1] === '{') return null;
    if (c !== '\\') {
      value += c;
      continue;
    }
    const next = text[++k];
    const simple = { n: '\n', t: '\t', r: '\r', '0': '\0', b: '\b', f: '\f', v: '\v' };
    if (next in simple) {
      value += simple[next];
    } else if (next === 'u' && text[k + 1] === '{') {
      const close = text.indexOf('}', k);
      value += String.fromCodePoint(parseInt(text.slice(k + 2, close), 16));
      k = close;
    } else if (next === 'u') {
      value += String.fromCharCode(parseInt(text.slice(k + 1, k + 5), 16));
      k += 4;
    } else if (next === 'x') {
      value += String.fromCharCode(parseInt(text.slice(k + 1, k + 3), 16));
      k += 2;
    } else if (next === '\n') {
      // a line continuation
    } else {
      value += next;
    }
  }
  return null;
}

function skipSpace(text, i) {
  while (i < text.length && /\s/.test(text[i])) ++i;
  return i;
}

function lineOf(text, index) {
  let line = 1;
  for (let k = 0; k < index; ++k) if (text[k] === '\n') ++line;
  return line;
}

// Where the comments of a source file lie, as [start, end) pairs; strings are skipped so that
// "//" inside one is no comment.
function commentRanges(code) {
  const ranges = [];
  for (let i = 0; i < code.length; ++i) {
    const c = code[i];
    if (c === '"' || c === "'" || c === '`') {
      for (++i; i < code.length && code[i] !== c; ++i) if (code[i] === '\\') ++i;
    } else if (c === '/' && code[i + 1] === '/') {
      const end = code.indexOf('\n', i);
      ranges.push([i, end < 0 ? code.length : end]);
      i = end < 0 ? code.length : end;
    } else if (c === '/' && code[i + 1] === '*') {
      const end = code.indexOf('*/', i + 2);
      ranges.push([i, end < 0 ? code.length : end + 2]);
      i = end < 0 ? code.length : end + 1;
    }
  }
  return ranges;
}

// Every call of t, tk and tn in a source file, comments included (a text listed in a comment
// is offered to the page too). A call in code whose texts are not written out literally cannot
// be checked against the translation file: it is an error (in a comment it is only words).
export function scanTextCalls(code, fileName) {
  const calls = [];
  const errors = [];
  const comments = commentRanges(code);
  const inComment = (index) => comments.some(([start, end]) => index >= start && index < end);
  for (const match of code.matchAll(/(?<![\w$.])(tk|tn|t)\s*\(/g)) {
    if (/function\s*$/.test(code.slice(Math.max(0, match.index - 12), match.index))) continue;
    const fn = match[1];
    const wanted = fn === 'tk' ? 3 : 2;
    const texts = [];
    let i = match.index + match[0].length;
    let ok = true;
    for (let n = 0; n < wanted; ++n) {
      i = skipSpace(code, i);
      if (n > 0) {
        if (code[i] !== ',') { ok = false; break; }
        i = skipSpace(code, i + 1);
      }
      const literal = readLiteral(code, i);
      if (!literal) { ok = false; break; }
      texts.push(literal.value);
      i = literal.end;
    }
    i = skipSpace(code, i);
    if (!ok || (code[i] !== ')' && code[i] !== ',')) {
      if (inComment(match.index)) continue;
      errors.push(`${fileName}:${lineOf(code, match.index)}: ${fn}() needs its texts written out as ` +
        'string literals, so that the build can find them in the translation file');
      continue;
    }
    calls.push({ fn, context: texts[0], source: texts[1], key: texts[2], where: `${fileName}:${lineOf(code, match.index)}` });
  }
  return { calls, errors };
}

// The catalog key, as texts.ts builds it.
export function catalogKey(context, source, key) {
  return key === undefined ? `${context}\u0004${source}` : `${context}\u0004${source}\u0004${key}`;
}

// The Arabic texts of the calls, keyed as texts.ts looks them up, and what does not match the
// translation file. A text present but not yet translated is left out: the page shows it in
// English, as the desktop does.
export function buildCatalog(messages, calls) {
  const catalog = {};
  const errors = [];
  const quote = (c) => `${c.fn}('${c.context}', '${c.source}'${c.key === undefined ? '' : `, '${c.key}'`})`;
  for (const call of calls) {
    const found = messages.filter((m) => m.context === call.context && m.source === call.source &&
      (call.key === undefined || m.comment === call.key));
    if (found.length === 0) {
      errors.push(`${call.where}: ${quote(call)} is not a text of translations/halbeet_ar.ts`);
      continue;
    }
    if (call.fn === 'tn' ? !found.every((m) => m.numerus) : found.some((m) => m.numerus)) {
      errors.push(`${call.where}: ${quote(call)}: ${call.fn === 'tn' ? 'not' : 'is'} a count text (use ${call.fn === 'tn' ? 't' : 'tn'})`);
      continue;
    }
    const translations = new Set(found.map((m) => JSON.stringify(m.translation)));
    if (translations.size > 1) {
      errors.push(`${call.where}: ${quote(call)} has several translations; name it with its key: ` +
        `tk('${call.context}', '${call.source}', '${found[0].comment}')`);
      continue;
    }
    if (found[0].translation !== null) catalog[catalogKey(call.context, call.source, call.key)] = found[0].translation;
  }
  return { catalog, errors };
}

// ---- the deck ------------------------------------------------------------------------------

// The deck as a browser needs it: no editor's metadata, comments or layout whitespace, and no
// namespace left declared that nothing uses.
export function stripSvg(svg) {
  let out = svg
    .replace(/<!--[\s\S]*?-->/g, '')
    .replace(/<metadata[\s>][\s\S]*?<\/metadata>/g, '')
    .replace(/<metadata[^>]*\/>/g, '')
    .replace(/<(sodipodi|inkscape):([\w-]+)[^>]*?\/>/g, '')
    .replace(/<(sodipodi|inkscape):([\w-]+)[^>]*>[\s\S]*?<\/\1:\2>/g, '')
    .replace(/\s+(sodipodi|inkscape):[\w-]+="[^"]*"/g, '')
    .replace(/\s*\n\s*/g, ' ')
    .replace(/>\s+</g, '><');
  for (const declared of [...out.matchAll(/\s+xmlns:([\w-]+)="[^"]*"/g)]) {
    const prefix = declared[1];
    const uses = out.split(new RegExp(`[<\\s/]${prefix}:`)).length - 1;
    if (uses === 0) out = out.replace(declared[0], '');
  }
  return out.trim();
}
