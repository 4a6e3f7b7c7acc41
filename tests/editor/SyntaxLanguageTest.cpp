// Which language a file or a pasted text gets.
#include "editor/SyntaxLanguage.h"

#include <gtest/gtest.h>

using syntaxlanguage::detectFromContent;
using syntaxlanguage::detectFromFileName;

TEST(SyntaxLanguage, RawValuesRoundTripCaseSensitively) {
    std::vector<SyntaxLanguage> languages = syntaxlanguage::all();
    EXPECT_EQ(languages.size(), 14u);
    languages.push_back(SyntaxLanguage::none);
    for (const SyntaxLanguage language : languages)
        EXPECT_EQ(syntaxlanguage::fromRawValue(syntaxlanguage::rawValue(language)), language);
    EXPECT_EQ(syntaxlanguage::rawValue(SyntaxLanguage::dockerfile), "dockerfile");
    EXPECT_FALSE(syntaxlanguage::fromRawValue("JSON"));
    EXPECT_FALSE(syntaxlanguage::fromRawValue(""));
}

TEST(SyntaxLanguage, ByFileName) {
    const struct {
        const char* name;
        SyntaxLanguage expected;
    } cases[] = {
        {"/srv/Dockerfile", SyntaxLanguage::dockerfile},
        {"CONTAINERFILE", SyntaxLanguage::dockerfile},
        {"app.Dockerfile", SyntaxLanguage::none},
        {"dockerfile.dev", SyntaxLanguage::none},
        {"README.MD", SyntaxLanguage::markdown},
        {"index.HTM", SyntaxLanguage::html},
        {"a.ts", SyntaxLanguage::javascript},
        {"a.tsx", SyntaxLanguage::javascript},
        {"icon.svg", SyntaxLanguage::xml},
        {"Info.plist", SyntaxLanguage::xml},
        {"x.yml", SyntaxLanguage::yaml},
        {"Cargo.toml", SyntaxLanguage::toml},
        {"run.fish", SyntaxLanguage::shell},
        {"tool.pyw", SyntaxLanguage::python},
        {"Package.swift", SyntaxLanguage::swift},
        {"q.sql", SyntaxLanguage::sql},
        {"app.properties", SyntaxLanguage::ini},
        {"/home/me/.editorconfig", SyntaxLanguage::ini},
        {".gitconfig", SyntaxLanguage::ini},
        {"data.json", SyntaxLanguage::json},
        {"style.css", SyntaxLanguage::css},
        {"Makefile", SyntaxLanguage::none},
        {"notes.txt", SyntaxLanguage::none},
        {"", SyntaxLanguage::none},
    };
    for (const auto& c : cases) EXPECT_EQ(detectFromFileName(c.name), c.expected) << c.name;
}

TEST(SyntaxLanguage, ByContentInRuleOrder) {
    const struct {
        const char* text;
        SyntaxLanguage expected;
    } cases[] = {
        {"  \n\n  ", SyntaxLanguage::none},
        {"#!/bin/sh\necho hi", SyntaxLanguage::shell},
        {"#!/usr/bin/env python3\nimport os\ndef f(): pass", SyntaxLanguage::shell},
        {"#!/usr/bin/python3\nimport os\ndef main(): pass", SyntaxLanguage::python},
        {"<!DOCTYPE html><html></html>", SyntaxLanguage::html},
        {"<html><body/></html>", SyntaxLanguage::html},
        {"<?xml version=\"1.0\"?><a/>", SyntaxLanguage::xml},
        {"<?XML version=\"1.0\"?><a/>", SyntaxLanguage::none},
        {"<plist version=\"1.0\"></plist>", SyntaxLanguage::xml},
        {"{\"name\": 1}", SyntaxLanguage::json},
        {"[{\"a\":2}]", SyntaxLanguage::json},
        {"{name: 1}", SyntaxLanguage::none},
        {"SELECT * FROM t", SyntaxLanguage::sql},
        {"-- all rows\nSELECT * FROM t", SyntaxLanguage::none},
        {"def f(self):\n    return self.x", SyntaxLanguage::python},
        {"import Foundation\nclass X:\n    pass", SyntaxLanguage::python},
        {"import Foundation\nstruct X {}", SyntaxLanguage::swift},
        {"func f() { var a = 1; let b = 2 }", SyntaxLanguage::swift},
        {"---\nkey: value", SyntaxLanguage::yaml},
        {"a: 1\nb: 2\n# c: 3\n c: 4\nd: 5", SyntaxLanguage::yaml},
        {"a: 1\nb: 2\n c: 3\n<d: 4", SyntaxLanguage::none},
        {"1\n2\n3\n4\n5\n6\n7\n8\n9\n10\na: 1\nb: 2\nc: 3", SyntaxLanguage::none},
        {"[server]\nport=80", SyntaxLanguage::ini},
        {"title = \"x\"\n[owner]\nname = \"y\"", SyntaxLanguage::toml},
        {"body { color: red; }", SyntaxLanguage::css},
        {"function go() {}", SyntaxLanguage::javascript},
        {"const f = () => 1", SyntaxLanguage::javascript},
        {"# Title\ntext", SyntaxLanguage::markdown},
        {"intro\n## Part", SyntaxLanguage::markdown},
        {"# a comment line\necho hi", SyntaxLanguage::markdown},
        {"plain words", SyntaxLanguage::none},
    };
    for (const auto& c : cases) EXPECT_EQ(detectFromContent(QString::fromUtf8(c.text)), c.expected) << c.text;
}
