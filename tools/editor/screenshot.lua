-- Neovim set up as an author would have it for the screenshot: the language server attached to
-- every description, problems shown beside their line, then a hover on the broken field.
local exe = os.getenv('COMPATTATORE_EXE')
vim.o.number = true
vim.o.termguicolors = true
vim.diagnostic.config({ virtual_text = true, signs = true, underline = true })
vim.api.nvim_create_autocmd('BufReadPost', {
  pattern = { '*_linea.txt', '*-.txt' },
  callback = function(args)
    local client = vim.lsp.start_client({ name = 'compattatore', cmd = { exe, 'lsp' },
      root_dir = vim.fn.expand('%:p:h') })
    vim.lsp.buf_attach_client(args.buf, client)
  end,
})
vim.cmd('highlight SignColumn guibg=NONE ctermbg=NONE')
vim.cmd('highlight NormalFloat guibg=#2a2f45 guifg=#e0e0e0')
vim.defer_fn(function()
  vim.wait(5000, function() return #vim.diagnostic.get(0) > 0 end, 20)
  vim.api.nvim_win_set_cursor(0, { 38, 24 })
  vim.cmd('normal! zt')
  vim.cmd('normal! 8\25')
  vim.api.nvim_win_set_cursor(0, { 38, 24 })
  vim.defer_fn(vim.lsp.buf.hover, 500)
end, 300)
