// SPDX-License-Identifier: GPL-3.0-or-later
// The types of build_lib.mjs, for the tests that use it.

export interface TranslationMessage {
  context: string;
  source: string;
  comment: string;
  numerus: boolean;
  translation: string | string[] | null;
}
export interface TextCall {
  fn: 't' | 'tk' | 'tn';
  context: string;
  source: string;
  key: string | undefined;
  where: string;
}
export function parseTranslations(xml: string): TranslationMessage[];
export function scanTextCalls(code: string, fileName: string): { calls: TextCall[]; errors: string[] };
export function catalogKey(context: string, source: string, key?: string): string;
export function buildCatalog(messages: TranslationMessage[], calls: TextCall[]):
  { catalog: Record<string, string | string[]>; errors: string[] };
export function stripSvg(svg: string): string;
